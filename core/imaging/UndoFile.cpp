#include "imaging/UndoFile.h"

#include "io/ByteReader.h"
#include "io/InputFile.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

constexpr size_t kSizeBytes = 8;

}  // namespace

bool WriteUndoFile(const std::string& path, const ImageCanvas& canvas) {
    if (!canvas.valid()) return false;
    OutputFile file;
    if (!file.Open(path)) return false;
    file.U32LE(static_cast<uint32_t>(canvas.width()));
    file.U32LE(static_cast<uint32_t>(canvas.height()));
    for (int32_t row = 0; row < canvas.height(); ++row) {
        const PixelBuffer pixels = canvas.CopyRow(24, row);
        if (pixels.empty()) return false;
        file.Write(pixels.data(), static_cast<size_t>(pixels.stride()));
    }
    return file.Commit();
}

bool ReadUndoFile(const std::string& path, ImageCanvas& canvas, const Palette256& palette) {
    InputFile file;
    uint8_t header[kSizeBytes];
    if (!file.Open(path) || !file.ReadExact(header, sizeof header)) return false;
    ByteReader size(header, sizeof header);
    const int64_t width = size.U32LE(), height = size.U32LE();
    const auto layout = CheckedLayout(width, height, 24);
    if (!layout || file.size() != kSizeBytes + layout->byteCount) return false;
    if (!canvas.Create(layout->width, layout->height, 24, 0, palette)) return false;
    return file.ReadExact(canvas.bits(), layout->byteCount);
}

}  // namespace marbleye
