#include <vector>

#include "formats/png/MngChunkWriter.h"
#include <zlib.h>

#include "canvas/PixelLimits.h"
#include "formats/png/Png.h"
#include "imaging/ColourReduction.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

// The image data of the IDAT chunk: every row behind filter byte 0, deflated
// at level 9.
std::vector<uint8_t> CompressRows(const PaletteImage& picture, bool& ok) {
    const size_t rowBytes = static_cast<size_t>(picture.width) + 1;
    std::vector<uint8_t> raw(rowBytes * picture.height);
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.indices + static_cast<ptrdiff_t>(y) * picture.stride;
        std::copy(row, row + picture.width, raw.begin() + static_cast<ptrdiff_t>(y * rowBytes + 1));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    ok = compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) == Z_OK;
    packed.resize(packedSize);
    return packed;
}

}  // namespace

Status WritePalettePng(const std::string& path, const PaletteImage& picture, Host& host) {
    // Two steps: the pixels compressed, the file written.
    ProgressScope progress(host, 2);
    if (!CheckedLayout(static_cast<int64_t>(picture.width) + 1, picture.height, 8)) {
        return Status::Fail("Cannot allocate data buffer.");
    }
    bool compressed = false;
    std::vector<uint8_t> packed = CompressRows(picture, compressed);
    if (!compressed) return Status::Fail("Unable to compress imagedata!");
    progress.Step();

    OutputFile out;
    if (!out.Open(path)) return Status::Fail("write error");
    const MngChunkWriter mng(out);
    if (!mng.valid()) return Status::Fail("Cannot initialize libmng.");
    mng_palette8 palette = {};
    for (int i = 0; i < 256; ++i) {
        palette[i].iRed = picture.palette[i * 3];
        palette[i].iGreen = picture.palette[i * 3 + 1];
        palette[i].iBlue = picture.palette[i * 3 + 2];
    }
    mng_uint8arr alphas = {};
    for (int i = 0; i < 256; ++i) alphas[i] = 255;
    const bool transparent = picture.transparentIndex >= 0 && picture.transparentIndex < 256;
    if (transparent) alphas[picture.transparentIndex] = 0;
    const bool done =
        mng_putchunk_ihdr(mng.handle(), static_cast<mng_uint32>(picture.width), static_cast<mng_uint32>(picture.height),
                          8, MNG_COLORTYPE_INDEXED, MNG_COMPRESSION_DEFLATE, MNG_FILTER_ADAPTIVE,
                          MNG_INTERLACE_NONE) == MNG_NOERROR &&
        mng_putchunk_plte(mng.handle(), 256, palette) == MNG_NOERROR &&
        (!transparent || mng_putchunk_trns(mng.handle(), MNG_FALSE, MNG_FALSE, MNG_COLORTYPE_INDEXED,
                                           static_cast<mng_uint32>(picture.transparentIndex + 1), alphas, 0, 0, 0, 0,
                                           static_cast<mng_uint32>(picture.transparentIndex + 1),
                                           alphas) == MNG_NOERROR) &&
        mng_putchunk_idat(mng.handle(), static_cast<mng_uint32>(packed.size()), packed.data()) == MNG_NOERROR &&
        mng_putchunk_iend(mng.handle()) == MNG_NOERROR && mng_write(mng.handle()) == MNG_NOERROR;
    progress.Step();
    if (!done || !out.Commit()) return Status::Fail("write error");
    return Status::Ok();
}

Status WriteCanvasAsPalettePng(const std::string& path, const ImageCanvas& canvas, Host& host) {
    const auto indexed = IndexedForWriting(canvas, PaletteMethod::kMedianCut, DitherType::kNone, &host);
    if (!indexed) return Status::Fail("Out of Memory!");
    PaletteImage picture;
    picture.width = indexed->indices.width();
    picture.height = indexed->indices.height();
    // Bottom-up buffer read from the top: start at the last row, step back.
    picture.indices = indexed->indices.Row(picture.height - 1);
    picture.stride = -indexed->indices.stride();
    picture.palette = indexed->palette;
    return WritePalettePng(path, picture, host);
}

}  // namespace marbleye
