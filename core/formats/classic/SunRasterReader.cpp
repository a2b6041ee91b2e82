#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/classic/SunRaster.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr uint32_t kMagic = 0x59A66A95;
constexpr uint32_t kTypeByteEncoded = 2, kTypeRgb = 3;
constexpr size_t kHeaderSize = 32;

// 0x80, a count and a value stand for up to 256 bytes.
constexpr uint64_t kByteEncodingExpansion = 86;

struct RasterHeader {
    uint32_t width = 0, height = 0, depth = 0;
    uint32_t type = 0, mapType = 0, mapLength = 0;

    // Rows are padded to 16 bits, 24-bit rows included.
    size_t rowBytes() const {
        const size_t data = depth == 1 ? (width + 7) / 8 : static_cast<size_t>(width) * (depth / 8);
        return data + (data & 1);
    }
};

Status ReadHeader(InputFile& file, RasterHeader& header) {
    uint8_t bytes[kHeaderSize];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    const uint32_t magic = fields.U32BE();
    header.width = fields.U32BE(), header.height = fields.U32BE(), header.depth = fields.U32BE();
    fields.U32BE();  // length
    header.type = fields.U32BE(), header.mapType = fields.U32BE(), header.mapLength = fields.U32BE();
    if (fields.failed() || magic != kMagic) return Status::Fail("Not a valid SUN Raster File!");
    if (header.type > 5) return Status::Fail("the type of this SUN-rasterfile is not supported");
    if (header.mapType != 1 && header.mapLength != 0) return Status::Fail("type of colourmap not supported");
    const uint32_t depth = header.depth;
    if (depth != 1 && depth != 8 && depth != 24 && depth != 32) return Status::Fail("Unkown ImageType!");
    if (header.width == 0 || header.height == 0 || header.width > INT32_MAX || header.height > INT32_MAX) {
        return Status::Fail("Unkown ImageType!");
    }
    return Status::Ok();
}

// The grey ramp at 8 bits, white and black at 1 bit, replaced by the
// colour map's reds, greens and blues where the file has one.
Status ReadPalette(InputFile& file, const RasterHeader& header, Palette256& palette) {
    palette = header.depth == 8 ? GrayRamp() : Palette256{};
    if (header.depth == 1) palette[0] = palette[1] = palette[2] = 255;  // index 0 white, 1 black
    if (header.mapType != 1 || header.mapLength == 0) return Status::Ok();
    const size_t perChannel = header.mapLength / 3;
    if (perChannel > file.size()) return Status::Fail("Can't get memory for colour map");
    std::vector<uint8_t> map(perChannel * 3);
    if (!file.ReadExact(map.data(), map.size())) return Status::Fail("cant read colour entries");
    file.Skip(header.mapLength - perChannel * 3);
    for (size_t i = 0; i < std::min<size_t>(perChannel, 256); ++i) {
        for (int c = 0; c < 3; ++c) palette[i * 3 + c] = map[c * perChannel + i];
    }
    return Status::Ok();
}

// Whether the rest of the file can hold the rows the header declares.
bool FileHoldsRows(const InputFile& file, const RasterHeader& header) {
    const uint64_t decoded = static_cast<uint64_t>(header.rowBytes()) * header.height;
    return FileCanHold(decoded, file.size() - file.Tell(),
                       header.type == kTypeByteEncoded ? kByteEncodingExpansion : expansion::kStored);
}

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

void PutRow(const RasterHeader& header, const uint8_t* row, uint8_t* target) {
    // Type 3 ("RGB format") stores red first at 24 bits, and the reverse of
    // the others at 32.
    const bool rgb = header.type == kTypeRgb;
    for (uint32_t x = 0; x < header.width; ++x) {
        switch (header.depth) {
            case 1: target[x] = (row[x / 8] >> (7 - x % 8)) & 1; break;
            case 8: target[x] = row[x]; break;
            case 24: {
                const uint8_t* p = row + x * 3;
                target[x * 3] = rgb ? p[2] : p[0];
                target[x * 3 + 1] = p[1];
                target[x * 3 + 2] = rgb ? p[0] : p[2];
                break;
            }
            default: {
                const uint8_t* p = row + x * 4 + 1;
                target[x * 3] = rgb ? p[0] : p[2];
                target[x * 3 + 1] = p[1];
                target[x * 3 + 2] = rgb ? p[2] : p[0];
            }
        }
    }
}

// Decodes the rows into the canvas, top row first; a file that ends early
// is reported and the rows it did not reach stay black.
void DecodeRows(InputFile& file, const RasterHeader& header, LoadContext& context) {
    assert(context.canvas.bitsPerPixel() == (header.depth <= 8 ? 8 : 24));
    const int32_t height = static_cast<int32_t>(header.height);
    std::vector<uint8_t> row(header.rowBytes());
    RasterBytes data(file, header.type == kTypeByteEncoded);
    for (int32_t y = 0; y < height; ++y) {
        if (!data.Read(row.data(), row.size())) {
            context.host.ReportError(header.depth == 24 ? "RAS: EOF encountered on reading"
                                                        : "EOF encountered on reading");
            return;
        }
        PutRow(header, row.data(), context.canvas.Row(height - 1 - y));
        context.RowDone();
    }
}

}  // namespace

Status ReadSunRaster(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("can't open file for reading");
    RasterHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;
    CurrentImage& image = context.image;
    if (Status status = ReadPalette(file, header, image.palette); !status) return status;

    image.width = static_cast<int32_t>(header.width);
    image.height = static_cast<int32_t>(header.height);
    image.fileBitDepth = static_cast<int32_t>(header.depth);
    const int32_t canvasDepth = header.depth <= 8 ? 8 : 24;
    if (!FileHoldsRows(file, header) || !context.canvas.Create(image.width, image.height, canvasDepth, 0, image.palette)) {
        return Status::Fail("Not enough Memory!");
    }
    DecodeRows(file, header, context);
    return Status::Ok();
}

}  // namespace marbleye
