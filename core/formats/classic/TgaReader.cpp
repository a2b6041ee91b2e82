#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <vector>

#include "canvas/ChannelScaling.h"
#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/classic/Tga.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kCouldNotOpen = "Couldn't open TGA File!";
constexpr std::string_view kUnknownType = "Unkown TGA Imagetype!";
constexpr std::string_view kNoMemory = "Not enough Memory!";

constexpr size_t kHeaderSize = 18;

// A packet byte and one pixel of p bytes stand for up to 128 pixels:
// 128 p / (1 + p) bytes, below 128 for every depth.
constexpr uint64_t kRunLengthExpansion = 128;

struct TgaHeader {
    uint8_t idLength = 0, mapType = 0, imageType = 0;
    uint16_t mapFirst = 0, mapLength = 0;
    uint8_t mapEntryBits = 0;
    int32_t width = 0, height = 0;
    int32_t depth = 0;  // 15 is read as 16
    uint8_t descriptor = 0;

    bool runLength() const { return (imageType & 8) != 0; }
    bool topFirst() const { return (descriptor & 0x20) != 0; }
    bool rightToLeft() const { return (descriptor & 0x10) != 0; }
    size_t pixelBytes() const { return depth <= 8 ? 1 : static_cast<size_t>(depth / 8); }
    // One-bit rows are packed eight pixels to a byte, and run-length packets
    // count those bytes.
    size_t rowBytes() const { return depth == 1 ? static_cast<size_t>((width + 7) / 8) : pixelBytes() * width; }
    size_t pixelsPerRow() const { return depth == 1 ? rowBytes() : static_cast<size_t>(width); }
    int32_t canvasDepth() const { return depth == 16 ? 24 : depth; }
};

Status ReadHeader(InputFile& file, TgaHeader& header) {
    uint8_t bytes[kHeaderSize];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    header.idLength = fields.U8();
    header.mapType = fields.U8();
    header.imageType = fields.U8();
    header.mapFirst = fields.U16LE();
    header.mapLength = fields.U16LE();
    header.mapEntryBits = fields.U8();
    fields.Skip(4);  // origin
    header.width = fields.U16LE();
    header.height = fields.U16LE();
    header.depth = fields.U8();
    header.descriptor = fields.U8();
    const uint8_t type = header.imageType & 7;
    if (fields.failed() || type < 1 || type > 3 || (header.imageType & ~0x0B) != 0) {
        return Status::Fail(std::string(kUnknownType));
    }
    if (header.depth == 15) header.depth = 16;
    if (header.depth != 1 && header.depth != 8 && header.depth != 16 && header.depth != 24 && header.depth != 32) {
        return Status::Fail(std::string(kUnknownType));
    }
    if (header.width == 0 || header.height == 0) return Status::Fail(std::string(kUnknownType));
    return Status::Ok();
}

// The colour map when its entries are 24 or 32 bits (a fourth, alpha byte
// after blue, green and red), otherwise the grey ramp; white on black for
// one bit. The file is left at the start of the pixels.
Palette256 ReadPalette(InputFile& file, const TgaHeader& header) {
    Palette256 palette{};
    if (header.depth == 1) palette[3] = palette[4] = palette[5] = 255;
    if (header.mapLength == 0) {
        if (header.depth == 8) palette = GrayRamp();
        return palette;
    }
    const int entryBytes = (header.mapEntryBits + 7) / 8;
    if (header.mapEntryBits != 24 && header.mapEntryBits != 32) {
        file.Skip(static_cast<uint64_t>(header.mapLength) * std::max(entryBytes, 2));
        return GrayRamp();
    }
    for (int i = 0; i < header.mapLength; ++i) {
        uint8_t entry[4];
        if (!file.ReadExact(entry, static_cast<size_t>(entryBytes))) break;
        const int index = header.mapFirst + i;
        if (index > 255) continue;
        palette[index * 3] = entry[2], palette[index * 3 + 1] = entry[1], palette[index * 3 + 2] = entry[0];
    }
    return palette;
}

// Whether the rest of the file can hold the rows the header declares.
bool FileHoldsRows(const InputFile& file, const TgaHeader& header) {
    const uint64_t decoded = static_cast<uint64_t>(header.rowBytes()) * static_cast<uint64_t>(header.height);
    return FileCanHold(decoded, file.size() - file.Tell(),
                       header.runLength() ? kRunLengthExpansion : expansion::kStored);
}

// Pixels of run-length rows: packets may run on into the next row.
class PacketReader {
public:
    PacketReader(InputFile& file, size_t pixelBytes) : file_(file), pixelBytes_(pixelBytes) {
        assert(pixelBytes >= 1 && pixelBytes <= value_.size());
    }

    // Fills a row of `count` pixels; false once the file has ended, with the
    // pixels it did not reach cleared.
    bool ReadRow(uint8_t* row, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            if (!ReadPixel(row + i * pixelBytes_)) {
                std::memset(row + i * pixelBytes_, 0, (count - i) * pixelBytes_);
                return false;
            }
        }
        return true;
    }

private:
    bool ReadPixel(uint8_t* pixel) {
        if (left_ == 0) {
            const int packet = file_.ReadByte();
            if (packet < 0) return false;
            left_ = static_cast<size_t>((packet & 0x7F) + 1);
            repeating_ = (packet & 0x80) != 0;
            if (repeating_ && !file_.ReadExact(value_.data(), pixelBytes_)) return false;
        }
        if (repeating_) {
            std::memcpy(pixel, value_.data(), pixelBytes_);
        } else if (!file_.ReadExact(pixel, pixelBytes_)) {
            return false;
        }
        --left_;
        return true;
    }

    InputFile& file_;
    size_t pixelBytes_;
    size_t left_ = 0;
    bool repeating_ = false;
    std::array<uint8_t, 4> value_{};
};

// Reads a stored row; what the file does not hold is cleared.
bool ReadStoredRow(InputFile& file, uint8_t* row, size_t count) {
    const size_t got = file.Read(row, count);
    std::memset(row + got, 0, count - got);
    return got == count;
}

void ReverseRow(uint8_t* row, int32_t width, size_t pixelBytes) {
    for (int32_t a = 0, b = width - 1; a < b; ++a, --b) {
        std::swap_ranges(row + a * pixelBytes, row + (a + 1) * pixelBytes, row + b * pixelBytes);
    }
}

void PutRow(const TgaHeader& header, const uint8_t* row, uint8_t* target) {
    if (header.depth != 16) {
        std::memcpy(target, row, header.rowBytes());
        return;
    }
    for (int32_t x = 0; x < header.width; ++x) {
        const uint32_t v = row[x * 2] | (row[x * 2 + 1] << 8);
        target[x * 3] = kFiveBitToEight[v & 31];
        target[x * 3 + 1] = kFiveBitToEight[(v >> 5) & 31];
        target[x * 3 + 2] = kFiveBitToEight[(v >> 10) & 31];
    }
}

// Decodes the rows into the canvas until the rows or the file run out; the
// row the file ends in keeps what it read, the rest stays black.
void DecodeRows(InputFile& file, const TgaHeader& header, LoadContext& context) {
    std::vector<uint8_t> row(header.rowBytes());
    PacketReader packets(file, header.pixelBytes());
    for (int32_t i = 0; i < header.height; ++i) {
        const bool complete = header.runLength() ? packets.ReadRow(row.data(), header.pixelsPerRow())
                                                 : ReadStoredRow(file, row.data(), row.size());
        if (header.rightToLeft() && header.depth > 1) ReverseRow(row.data(), header.width, header.pixelBytes());
        PutRow(header, row.data(), context.canvas.Row(header.topFirst() ? header.height - 1 - i : i));
        context.RowDone();
        if (!complete) break;
    }
}

}  // namespace

Status ReadTga(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kCouldNotOpen));
    TgaHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;
    file.Skip(header.idLength);

    CurrentImage& image = context.image;
    image.palette = ReadPalette(file, header);
    image.width = header.width, image.height = header.height, image.fileBitDepth = header.depth;
    if (!FileHoldsRows(file, header) ||
        !context.canvas.Create(header.width, header.height, header.canvasDepth(), 0, image.palette)) {
        return Status::Fail(std::string(kNoMemory));
    }
    DecodeRows(file, header, context);
    return Status::Ok();
}

}  // namespace marbleye
