#include <vector>

#include "canvas/PixelLimits.h"
#include "formats/legacy/Legacy.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

// A Zebra metafile starts with a little-endian magic word and version, then
// 100 bytes of its own; the preview follows: 16 colours as blue, green, red
// and a reserved byte, then 100 x 100 pixels of 4 bits in rows of 52 bytes,
// bottom row first, laid out as the canvas lays out a 4-bit picture.
constexpr uint16_t kMagic = 666;
constexpr uint16_t kNewestVersion = 4;
constexpr size_t kHeaderSize = 104;
constexpr int32_t kSide = 100;
constexpr size_t kColours = 16;
constexpr size_t kRowBytes = 52;
constexpr size_t kPreviewBytes = kColours * 4 + kRowBytes * kSide;
static_assert(kPreviewBytes == 5264);

}  // namespace

Status ReadZbr(const std::string& path, LoadContext& context) {
    const Status failed = Status::Fail("Failed to load ZBR Preview!");
    InputFile file;
    if (!file.Open(path)) return failed;
    uint8_t header[kHeaderSize];
    ByteReader fields(header, file.Read(header, sizeof header));
    const uint16_t magic = fields.U16LE(), version = fields.U16LE();
    fields.Skip(kHeaderSize - 4);
    if (fields.failed() || magic != kMagic || version > kNewestVersion) return failed;
    std::vector<uint8_t> preview(kPreviewBytes);
    if (!file.ReadExact(preview.data(), preview.size())) return failed;

    CurrentImage& image = context.image;
    image.palette = Palette256{};
    for (size_t i = 0; i < kColours; ++i) {
        const uint8_t* quad = preview.data() + i * 4;
        image.palette[i * 3] = quad[2];
        image.palette[i * 3 + 1] = quad[1];
        image.palette[i * 3 + 2] = quad[0];
    }
    image.width = kSide;
    image.height = kSide;
    image.fileBitDepth = 4;
    static_assert(kRowBytes == 4 * ((kSide * 4 + 31) / 32));
    if (!context.canvas.CreateFromBits(kSide, kSide, 4, preview.data() + kColours * 4, image.palette)) return failed;
    context.RowDone();
    return Status::Ok();
}

}  // namespace marbleye
