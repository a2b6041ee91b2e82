#include "formats/bmp/Bmp.h"
#include "formats/bmp/BmpFormat.h"
#include "imaging/ColourReduction.h"
#include "io/OutputFile.h"

namespace marbleye {

using namespace bmp;

namespace {

// The pixels as written: bottom-up rows and, at 8 bits, the palette.
struct BmpPixels {
    PixelBuffer rows;
    std::optional<Palette256> palette;
};

std::optional<BmpPixels> PixelsFor(const ImageCanvas& canvas, int32_t fileBitDepth) {
    if (fileBitDepth > 8) {
        PixelBuffer rows = canvas.CopyBits(24);
        if (rows.empty()) return std::nullopt;
        return BmpPixels{std::move(rows), std::nullopt};
    }
    std::optional<IndexedPicture> indexed = IndexedForWriting(canvas, PaletteMethod::kMedianCut, DitherType::kNone);
    if (!indexed) return std::nullopt;
    return BmpPixels{std::move(indexed->indices), indexed->palette};
}

}  // namespace

Status WriteBmp(const std::string& path, const ImageCanvas& canvas, int32_t fileBitDepth, Host& host) {
    const std::optional<BmpPixels> pixels = PixelsFor(canvas, fileBitDepth);
    if (!pixels) return Status::Fail(std::string(kNoCopy));
    const PixelBuffer& rows = pixels->rows;

    OutputFile out;
    if (!out.Open(path)) return Status::Fail(std::string(kCouldNotCreate));
    const uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize + (pixels->palette ? 256 * 4 : 0);
    const uint32_t imageSize = static_cast<uint32_t>(rows.byteCount());

    out.U16LE(kSignature);
    out.U32LE(imageSize + dataOffset);
    out.U32LE(0);  // two reserved fields
    out.U32LE(dataOffset);

    out.U32LE(kInfoHeaderSize);
    out.U32LE(static_cast<uint32_t>(rows.width()));
    out.U32LE(static_cast<uint32_t>(rows.height()));  // positive: rows bottom-up
    out.U16LE(1);                                     // planes
    out.U16LE(static_cast<uint16_t>(rows.bitsPerPixel()));
    out.U32LE(kUncompressed);
    out.Zeros(5 * 4);  // image size, resolutions, colours used and important
    if (pixels->palette) {
        const Palette256& palette = *pixels->palette;
        for (int i = 0; i < 256; ++i) {
            const uint8_t entry[4] = {palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0};
            out.Write(entry, 4);
        }
    }

    ProgressScope progress(host, rows.height());
    for (int32_t row = 0; row < rows.height() && !out.failed(); ++row) {
        out.Write(rows.Row(row), static_cast<size_t>(rows.stride()));
        progress.Step();
    }
    if (!out.Commit()) return Status::Fail(std::string(kCouldNotWrite));
    return Status::Ok();
}

}  // namespace marbleye
