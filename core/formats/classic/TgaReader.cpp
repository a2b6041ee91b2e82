#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "canvas/ChannelScaling.h"
#include "canvas/PixelLimits.h"
#include "formats/classic/Tga.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kCouldNotOpen = "Couldn't open TGA File!";
constexpr std::string_view kUnknownType = "Unkown TGA Imagetype!";
constexpr std::string_view kNoMemory = "Not enough Memory!";

struct TgaHeader {
    uint8_t idLength = 0, mapType = 0, imageType = 0;
    uint16_t mapFirst = 0, mapLength = 0;
    uint8_t mapEntryBits = 0;
    int32_t width = 0, height = 0;
    int32_t depth = 0;
    uint8_t descriptor = 0;
};

// Pixels of run-length rows: packets may run on into the next row.
class PacketReader {
public:
    PacketReader(InputFile& file, size_t pixelBytes) : file_(file), pixelBytes_(pixelBytes) {}

    // Fills a row of `count` pixels; false once the file has ended.
    bool ReadRow(uint8_t* row, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            if (left_ == 0) {
                const int packet = file_.ReadByte();
                if (packet < 0) return false;
                left_ = static_cast<size_t>((packet & 0x7F) + 1);
                repeating_ = (packet & 0x80) != 0;
                if (repeating_ && !file_.ReadExact(value_.data(), pixelBytes_)) return false;
            }
            uint8_t* pixel = row + i * pixelBytes_;
            if (repeating_) {
                std::memcpy(pixel, value_.data(), pixelBytes_);
            } else if (!file_.ReadExact(pixel, pixelBytes_)) {
                return false;
            }
            --left_;
        }
        return true;
    }

private:
    InputFile& file_;
    size_t pixelBytes_;
    size_t left_ = 0;
    bool repeating_ = false;
    std::array<uint8_t, 4> value_{};
};

void ReverseRow(uint8_t* row, int32_t width, size_t pixelBytes) {
    for (int32_t a = 0, b = width - 1; a < b; ++a, --b) {
        std::swap_ranges(row + a * pixelBytes, row + (a + 1) * pixelBytes, row + b * pixelBytes);
    }
}

}  // namespace

Status ReadTga(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kCouldNotOpen));
    uint8_t bytes[18];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    TgaHeader h;
    h.idLength = fields.U8();
    h.mapType = fields.U8();
    h.imageType = fields.U8();
    h.mapFirst = fields.U16LE();
    h.mapLength = fields.U16LE();
    h.mapEntryBits = fields.U8();
    fields.Skip(4);  // origin
    h.width = fields.U16LE();
    h.height = fields.U16LE();
    h.depth = fields.U8();
    h.descriptor = fields.U8();
    const uint8_t type = h.imageType & 7;
    const bool runLength = (h.imageType & 8) != 0;
    if (fields.failed() || type < 1 || type > 3 || (h.imageType & ~0x0B) != 0) {
        return Status::Fail(std::string(kUnknownType));
    }
    if (h.depth == 15) h.depth = 16;
    if (h.depth != 1 && h.depth != 8 && h.depth != 16 && h.depth != 24 && h.depth != 32) {
        return Status::Fail(std::string(kUnknownType));
    }
    if (h.width == 0 || h.height == 0) return Status::Fail(std::string(kUnknownType));
    file.Skip(h.idLength);

    Palette256& palette = context.image.palette;
    palette.fill(0);
    if (h.depth == 1) palette[3] = palette[4] = palette[5] = 255;
    if (h.mapLength > 0) {
        const int entryBytes = (h.mapEntryBits + 7) / 8;
        if (h.mapEntryBits == 24 || h.mapEntryBits == 32) {
            // 32-bit entries carry a fourth (alpha) byte after blue, green, red.
            for (int i = 0; i < h.mapLength; ++i) {
                uint8_t entry[4];
                if (!file.ReadExact(entry, static_cast<size_t>(entryBytes))) break;
                const int index = h.mapFirst + i;
                if (index > 255) continue;
                palette[index * 3] = entry[2], palette[index * 3 + 1] = entry[1], palette[index * 3 + 2] = entry[0];
            }
        } else {
            file.Skip(static_cast<uint64_t>(h.mapLength) * std::max(entryBytes, 2));
            palette = GrayRamp();
        }
    } else if (h.depth == 8) {
        palette = GrayRamp();
    }

    CurrentImage& image = context.image;
    image.width = h.width, image.height = h.height, image.fileBitDepth = h.depth;
    const int32_t canvasDepth = h.depth == 16 ? 24 : h.depth;
    if (!context.canvas.Create(h.width, h.height, canvasDepth, 0, palette)) {
        return Status::Fail(std::string(kNoMemory));
    }
    const size_t pixelBytes = h.depth <= 8 ? 1 : static_cast<size_t>(h.depth / 8);
    const size_t rowBytes = h.depth == 1 ? static_cast<size_t>((h.width + 7) / 8) : pixelBytes * h.width;
    const size_t pixelsPerRow = h.depth == 1 ? rowBytes : static_cast<size_t>(h.width);
    std::vector<uint8_t> row(rowBytes);
    const bool topFirst = (h.descriptor & 0x20) != 0;
    const bool rightToLeft = (h.descriptor & 0x10) != 0;
    PacketReader packets(file, pixelBytes);
    for (int32_t i = 0; i < h.height; ++i) {
        const bool complete = runLength ? packets.ReadRow(row.data(), pixelsPerRow) : file.ReadExact(row.data(), row.size());
        if (rightToLeft && h.depth > 1) ReverseRow(row.data(), h.width, pixelBytes);
        uint8_t* target = context.canvas.Row(topFirst ? h.height - 1 - i : i);
        if (h.depth == 16) {
            for (int32_t x = 0; x < h.width; ++x) {
                const uint32_t v = row[x * 2] | (row[x * 2 + 1] << 8);
                target[x * 3] = kFiveBitToEight[v & 31];
                target[x * 3 + 1] = kFiveBitToEight[(v >> 5) & 31];
                target[x * 3 + 2] = kFiveBitToEight[(v >> 10) & 31];
            }
        } else {
            std::memcpy(target, row.data(), rowBytes);
        }
        context.RowDone();
        if (!complete) break;
    }
    return Status::Ok();
}

}  // namespace marbleye
