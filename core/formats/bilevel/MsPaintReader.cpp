#include <algorithm>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/bilevel/Bilevel.h"
#include "formats/bilevel/BilevelPalettes.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr size_t kHeaderSize = 32;
constexpr uint16_t kVersion1Key1 = 0x6144, kVersion1Key2 = 0x4D6E;  // "DanM"
constexpr uint16_t kVersion2Key1 = 0x694C, kVersion2Key2 = 0x536E;  // "LinS"

// A zero byte, a count and a value stand for up to 255 bytes.
constexpr uint64_t kRunExpansion = 85;

struct PaintHeader {
    bool coded = false;  // version 2
    uint16_t width = 0, height = 0;

    size_t rowBytes() const { return (static_cast<size_t>(width) + 7) / 8; }
};

// The header: two key words, width and height, then aspect ratios, the
// printer's size, a checksum and padding (all 16-bit little-endian).
Status ReadHeader(InputFile& file, PaintHeader& header) {
    uint8_t bytes[kHeaderSize];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    const uint16_t key1 = fields.U16LE(), key2 = fields.U16LE();
    header.width = fields.U16LE();
    header.height = fields.U16LE();
    fields.Skip(kHeaderSize - 8);
    if (fields.failed()) return Status::Fail("Couldn't read MSPHeader!");
    if (key1 == kVersion1Key1 && key2 == kVersion1Key2) {
        header.coded = false;
    } else if (key1 == kVersion2Key1 && key2 == kVersion2Key2) {
        header.coded = true;
    } else {
        return Status::Fail("Unkown MSP Format!");
    }
    if (header.width == 0 || header.height == 0) return Status::Fail("Couldn't read MSPHeader!");
    return Status::Ok();
}

// One coded row of a version 2 file: a non-zero byte n is followed by n
// literal bytes, a zero byte by a count and a value repeated count times.
// Bytes the row's code does not reach stay white.
void DecodeRow(const std::vector<uint8_t>& code, std::vector<uint8_t>& row) {
    std::fill(row.begin(), row.end(), 0xFF);
    size_t in = 0, out = 0;
    while (in < code.size() && out < row.size()) {
        const uint8_t n = code[in++];
        if (n != 0) {
            const size_t count = std::min<size_t>({n, code.size() - in, row.size() - out});
            std::copy_n(code.begin() + static_cast<std::ptrdiff_t>(in), count, row.begin() + static_cast<std::ptrdiff_t>(out));
            in += n;
            out += count;
        } else {
            if (code.size() - in < 2) break;
            const size_t count = std::min<size_t>(code[in], row.size() - out);
            std::fill_n(row.begin() + static_cast<std::ptrdiff_t>(out), count, code[in + 1]);
            in += 2;
            out += count;
        }
    }
}

// The row-size table of a version 2 file: as many entries as the file holds.
std::vector<uint16_t> ReadRowSizes(InputFile& file, uint16_t height) {
    std::vector<uint8_t> bytes(static_cast<size_t>(height) * 2);
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    std::vector<uint16_t> sizes(bytes.size() / 2);
    for (size_t i = 0; i < sizes.size(); ++i) sizes[i] = static_cast<uint16_t>(bytes[i * 2] | bytes[i * 2 + 1] << 8);
    return sizes;
}

// Decodes the rows, top row first, until the picture is full or the file
// ends; rows it does not reach stay black.
void DecodeRows(InputFile& file, const PaintHeader& header, LoadContext& context) {
    const int32_t height = header.height;
    std::vector<uint8_t> row(header.rowBytes());
    if (!header.coded) {
        for (int32_t y = 0; y < height; ++y) {
            if (!file.ReadExact(row.data(), row.size())) return;
            std::copy(row.begin(), row.end(), context.canvas.Row(height - 1 - y));
            context.RowDone();
        }
        return;
    }
    const std::vector<uint16_t> sizes = ReadRowSizes(file, header.height);
    std::vector<uint8_t> code;
    for (size_t y = 0; y < sizes.size(); ++y) {
        code.resize(sizes[y]);
        if (!file.ReadExact(code.data(), code.size())) return;
        DecodeRow(code, row);
        std::copy(row.begin(), row.end(), context.canvas.Row(height - 1 - static_cast<int32_t>(y)));
        context.RowDone();
    }
}

}  // namespace

Status ReadMsPaint(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open MSP File!");
    PaintHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;

    CurrentImage& image = context.image;
    image.width = header.width;
    image.height = header.height;
    image.fileBitDepth = 1;
    image.palette = BlackWhitePalette();  // a set bit is a white pixel
    const auto layout = CheckedLayout(header.width, header.height, 1);
    const uint64_t coded = file.size() - file.Tell();
    if (!layout || !FileCanHold(*layout, coded, header.coded ? kRunExpansion : expansion::kStored) ||
        !context.canvas.Create(header.width, header.height, 1, 0, image.palette)) {
        return Status::Fail("Couldn't read MSPHeader!");
    }
    DecodeRows(file, header, context);
    return Status::Ok();
}

}  // namespace marbleye
