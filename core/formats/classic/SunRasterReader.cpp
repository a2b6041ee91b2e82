#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/classic/SunRaster.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr uint32_t kMagic = 0x59A66A95;
constexpr uint32_t kTypeByteEncoded = 2, kTypeRgb = 3;

// The bytes of the picture data, plain or byte-encoded; a pending run goes
// on into the next row.
class RasterBytes {
public:
    RasterBytes(InputFile& file, bool encoded) : file_(file), encoded_(encoded) {}

    // Fills count bytes; false when the data ended first.
    bool Read(uint8_t* target, size_t count) {
        if (!encoded_) return file_.ReadExact(target, count);
        for (size_t i = 0; i < count; ++i) {
            if (repeat_ == 0) {
                const int byte = file_.ReadByte();
                if (byte < 0) return false;
                if (byte != 0x80) {
                    target[i] = static_cast<uint8_t>(byte);
                    continue;
                }
                const int length = file_.ReadByte();
                if (length < 0) return false;
                if (length == 0) {
                    target[i] = 0x80;
                    continue;
                }
                const int value = file_.ReadByte();
                if (value < 0) return false;
                repeat_ = length + 1;
                value_ = static_cast<uint8_t>(value);
            }
            target[i] = value_;
            --repeat_;
        }
        return true;
    }

private:
    InputFile& file_;
    bool encoded_;
    int repeat_ = 0;
    uint8_t value_ = 0;
};

}  // namespace

Status ReadSunRaster(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("can't open file for reading");
    uint8_t bytes[32];
    ByteReader header(bytes, file.Read(bytes, sizeof bytes));
    const uint32_t magic = header.U32BE();
    const uint32_t width = header.U32BE(), height = header.U32BE(), depth = header.U32BE();
    header.U32BE();  // length
    const uint32_t type = header.U32BE(), mapType = header.U32BE(), mapLength = header.U32BE();
    if (header.failed() || magic != kMagic) return Status::Fail("Not a valid SUN Raster File!");
    if (type > 5) return Status::Fail("the type of this SUN-rasterfile is not supported");
    if (mapType != 1 && mapLength != 0) return Status::Fail("type of colourmap not supported");
    if (depth != 1 && depth != 8 && depth != 24 && depth != 32) return Status::Fail("Unkown ImageType!");
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return Status::Fail("Unkown ImageType!");

    Palette256& palette = context.image.palette;
    palette = depth == 8 ? GrayRamp() : Palette256{};
    if (depth == 1) palette.fill(0), palette[0] = palette[1] = palette[2] = 255;  // index 0 white, 1 black
    if (mapType == 1 && mapLength > 0) {
        const size_t perChannel = mapLength / 3;
        if (perChannel > file.size()) return Status::Fail("Can't get memory for colour map");
        std::vector<uint8_t> map(perChannel * 3);
        if (!file.ReadExact(map.data(), map.size())) return Status::Fail("cant read colour entries");
        file.Skip(mapLength - perChannel * 3);
        for (size_t i = 0; i < std::min<size_t>(perChannel, 256); ++i) {
            for (int c = 0; c < 3; ++c) palette[i * 3 + c] = map[c * perChannel + i];
        }
    }
    context.image.width = static_cast<int32_t>(width);
    context.image.height = static_cast<int32_t>(height);
    context.image.fileBitDepth = static_cast<int32_t>(depth);
    const int32_t canvasDepth = depth <= 8 ? 8 : 24;
    if (!context.canvas.Create(context.image.width, context.image.height, canvasDepth, 0, palette)) {
        return Status::Fail("Not enough Memory!");
    }

    const size_t dataBytes = depth == 1 ? (width + 7) / 8 : static_cast<size_t>(width) * (depth / 8);
    std::vector<uint8_t> row(dataBytes + (dataBytes & 1));  // rows are padded to 16 bits
    RasterBytes data(file, type == kTypeByteEncoded);
    for (int32_t y = 0; y < context.image.height; ++y) {
        if (!data.Read(row.data(), row.size())) {
            context.host.ReportError(depth == 24 ? "RAS: EOF encountered on reading" : "EOF encountered on reading");
            break;
        }
        uint8_t* target = context.canvas.Row(context.image.height - 1 - y);
        for (uint32_t x = 0; x < width; ++x) {
            switch (depth) {
                case 1: target[x] = (row[x / 8] >> (7 - x % 8)) & 1; break;
                case 8: target[x] = row[x]; break;
                case 24: {
                    // Type 3 ("RGB format") stores red first; the others blue.
                    const uint8_t* p = row.data() + x * 3;
                    const bool rgb = type == kTypeRgb;
                    target[x * 3] = rgb ? p[2] : p[0];
                    target[x * 3 + 1] = p[1];
                    target[x * 3 + 2] = rgb ? p[0] : p[2];
                    break;
                }
                default: {
                    const uint8_t* p = row.data() + x * 4 + 1;
                    const bool bgr = type == kTypeRgb;
                    target[x * 3] = bgr ? p[0] : p[2];
                    target[x * 3 + 1] = p[1];
                    target[x * 3 + 2] = bgr ? p[2] : p[0];
                }
            }
        }
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
