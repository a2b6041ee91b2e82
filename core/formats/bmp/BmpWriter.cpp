#include "formats/bmp/Bmp.h"
#include "formats/bmp/BmpFormat.h"
#include "io/OutputFile.h"

namespace marbleye {

using namespace bmp;

Status WriteBmp(const std::string& path, const ImageCanvas& canvas, Host& host) {
    const PixelBuffer pixels = canvas.CopyBits(24);
    if (pixels.empty()) return Status::Fail(std::string(kNoCopy));

    OutputFile out;
    if (!out.Open(path)) return Status::Fail(std::string(kCouldNotCreate));
    const uint32_t dataOffset = kFileHeaderSize + kInfoHeaderSize;
    const uint32_t imageSize = static_cast<uint32_t>(pixels.byteCount());

    out.U16LE(kSignature);
    out.U32LE(imageSize + dataOffset);
    out.U32LE(0);  // two reserved fields
    out.U32LE(dataOffset);

    out.U32LE(kInfoHeaderSize);
    out.U32LE(static_cast<uint32_t>(pixels.width()));
    out.U32LE(static_cast<uint32_t>(pixels.height()));  // positive: rows bottom-up
    out.U16LE(1);                                       // planes
    out.U16LE(24);
    out.U32LE(kUncompressed);
    out.Zeros(5 * 4);  // image size, resolutions, colours used and important

    ProgressScope progress(host, pixels.height());
    for (int32_t row = 0; row < pixels.height() && !out.failed(); ++row) {
        out.Write(pixels.Row(row), static_cast<size_t>(pixels.stride()));
        progress.Step();
    }
    if (!out.Commit()) return Status::Fail(std::string(kCouldNotWrite));
    return Status::Ok();
}

}  // namespace marbleye
