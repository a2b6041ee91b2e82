#include "formats/gif/Gif.h"
#include "formats/gif/GifFormat.h"
#include "formats/gif/GifLzw.h"
#include "imaging/ColourReduction.h"
#include "io/OutputFile.h"

namespace marbleye {

using namespace gif;

Status WriteGif(const std::string& path, const ImageCanvas& canvas, int32_t fileBitDepth, PaletteMethod method,
                DitherType dither, Host& host) {
    ProgressScope progress(host, 4);
    const bool deep = fileBitDepth > 8;
    const std::optional<IndexedPicture> picture =
        IndexedForWriting(canvas, deep ? method : PaletteMethod::kMedianCut, deep ? dither : DitherType::kNone, &host);
    if (!picture) return Status::Fail(std::string(kNoCopy));
    progress.Step();

    OutputFile out;
    if (!out.Open(path)) return Status::Fail(std::string(kCouldNotCreate));
    const PixelBuffer& indices = picture->indices;
    const int32_t width = indices.width(), height = indices.height();
    out.Write("GIF87a", 6);
    out.U16LE(static_cast<uint16_t>(width));
    out.U16LE(static_cast<uint16_t>(height));
    out.U8(0xE7);  // a global table of 256 entries, 8-bit colour resolution
    out.U8(0);     // background index
    out.U8(0);     // aspect
    out.Write(picture->palette.data(), picture->palette.size());
    out.U8(',');
    out.U16LE(0), out.U16LE(0);
    out.U16LE(static_cast<uint16_t>(width));
    out.U16LE(static_cast<uint16_t>(height));
    out.U8(0);  // no local table, not interlaced
    progress.Step();

    std::vector<uint8_t> topDown;
    topDown.reserve(static_cast<size_t>(width) * height);
    for (int32_t y = height - 1; y >= 0; --y) topDown.insert(topDown.end(), indices.Row(y), indices.Row(y) + width);
    gif::EncodeLzw(topDown, out);
    progress.Step();
    out.U8(';');
    if (!out.Commit()) return Status::Fail(std::string(kWriteError));
    progress.Step();
    return Status::Ok();
}

}  // namespace marbleye
