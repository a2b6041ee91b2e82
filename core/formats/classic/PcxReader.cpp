#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/classic/Pcx.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kShortHeader = "Error while reading PCXHeader!";
constexpr std::string_view kNotPcx = "This is not a valid PCXFormatfile!";
constexpr std::string_view kNoMemory = "Not enough Memory!";

constexpr size_t kHeaderSize = 128;
constexpr size_t kTailPaletteSize = 769;  // the byte 12, then 256 RGB triples

// Canvas bytes per file byte: a run gives 63 bytes of a line from two, and
// 2-bit pixels take twice their bytes on the 4-bit canvas.
constexpr uint64_t kRunLengthExpansion = 64;

enum class Layout { kOnePlane, kBitPlanes, kTrueColour };

struct PcxHeader {
    int bits = 0, planes = 0;
    int32_t width = 0, height = 0;
    size_t planeBytes = 0;
    Layout layout = Layout::kOnePlane;
    uint8_t headerPalette[48] = {};

    int depth() const { return bits * planes; }
    int32_t canvasDepth() const { return depth() == 1 ? 1 : depth() <= 4 ? 4 : depth(); }
    size_t lineBytes() const { return planeBytes * static_cast<size_t>(planes); }
};

Status ReadHeader(InputFile& file, PcxHeader& header) {
    uint8_t bytes[kHeaderSize];
    if (!file.ReadExact(bytes, sizeof bytes)) return Status::Fail(std::string(kShortHeader));
    ByteReader fields(bytes, sizeof bytes);
    if (fields.U8() != 10) return Status::Fail(std::string(kNotPcx));
    fields.Skip(2);  // version, encoding
    header.bits = fields.U8();
    const int xmin = fields.U16LE(), ymin = fields.U16LE(), xmax = fields.U16LE(), ymax = fields.U16LE();
    fields.Skip(4);  // resolution
    std::memcpy(header.headerPalette, bytes + fields.position(), sizeof header.headerPalette);
    fields.Skip(sizeof header.headerPalette + 1);
    header.planes = fields.U8();
    const int bytesPerLine = fields.U16LE();
    header.width = xmax - xmin + 1, header.height = ymax - ymin + 1;
    const int bits = header.bits, planes = header.planes;
    const bool onePlane = planes == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
    const bool bitPlanes = bits == 1 && planes >= 2 && planes <= 4;
    const bool trueColour = bits == 8 && planes == 3;
    if (header.width <= 0 || header.height <= 0 || bytesPerLine <= 0 || !(onePlane || bitPlanes || trueColour)) {
        return Status::Fail(std::string(kNotPcx));
    }
    header.planeBytes = static_cast<size_t>(bytesPerLine);
    header.layout = trueColour ? Layout::kTrueColour : bitPlanes ? Layout::kBitPlanes : Layout::kOnePlane;
    return Status::Ok();
}

// Pictures of 2 to 4 bits (three 1-bit planes included) take the header's
// 16-entry palette, where other programs store it; 8-bit ones the palette
// at the end of the file, black without one. The file is left at the start
// of the lines.
Palette256 ReadPalette(InputFile& file, const PcxHeader& header) {
    Palette256 palette{};
    const int depth = header.depth();
    if (depth == 1) {
        palette[3] = palette[4] = palette[5] = 255;
    } else if (depth <= 4) {
        std::memcpy(palette.data(), header.headerPalette, sizeof header.headerPalette);
    } else if (depth == 8 && file.size() >= kHeaderSize + kTailPaletteSize) {
        uint8_t tail[kTailPaletteSize];
        file.Seek(file.size() - kTailPaletteSize);
        if (file.ReadExact(tail, sizeof tail) && tail[0] == 12) std::memcpy(palette.data(), tail + 1, 768);
        file.Seek(kHeaderSize);
    }
    return palette;
}

// Run-length scan lines: a byte with both top bits set repeats the next byte;
// a run is cut at the end of the line. A line the file ends in is cleared
// where it was not reached.
bool DecodeLine(InputFile& file, uint8_t* line, size_t length) {
    size_t at = 0;
    while (at < length) {
        const int byte = file.ReadByte();
        if (byte < 0) break;
        if ((byte & 0xC0) != 0xC0) {
            line[at++] = static_cast<uint8_t>(byte);
            continue;
        }
        const int value = file.ReadByte();
        if (value < 0) break;
        const size_t count = std::min<size_t>(byte & 0x3F, length - at);
        std::memset(line + at, value, count);
        at += count;
    }
    std::memset(line + at, 0, length - at);
    return at == length;
}

// Writes one decoded line (its planes one after the other) to a canvas row.
void PutLine(const PcxHeader& header, const uint8_t* line, uint8_t* target, size_t stride) {
    const size_t planeBytes = header.planeBytes;
    const int32_t width = header.width;
    if (header.layout == Layout::kTrueColour) {
        for (int32_t x = 0; x < width && static_cast<size_t>(x) < planeBytes; ++x) {
            target[x * 3] = line[2 * planeBytes + x];
            target[x * 3 + 1] = line[planeBytes + x];
            target[x * 3 + 2] = line[x];
        }
    } else if (header.layout == Layout::kBitPlanes) {
        for (int32_t x = 0; x < width && static_cast<size_t>(x / 8) < planeBytes; ++x) {
            int value = 0;
            for (int k = 0; k < header.planes; ++k) value |= ((line[k * planeBytes + x / 8] >> (7 - x % 8)) & 1) << k;
            target[x / 2] |= static_cast<uint8_t>((x & 1) ? value : value << 4);
        }
    } else if (header.bits == 2) {
        for (int32_t x = 0; x < width && static_cast<size_t>(x / 4) < planeBytes; ++x) {
            const int value = (line[x / 4] >> (6 - 2 * (x % 4))) & 3;
            target[x / 2] |= static_cast<uint8_t>((x & 1) ? value : value << 4);
        }
    } else {
        std::memcpy(target, line, std::min(stride, planeBytes));
    }
}

// Decodes the lines into the canvas, top row first, until the lines or the
// file run out.
void DecodeRows(InputFile& file, const PcxHeader& header, LoadContext& context) {
    assert(context.canvas.bitsPerPixel() == header.canvasDepth());
    std::vector<uint8_t> line(header.lineBytes(), 0);
    const size_t stride = static_cast<size_t>(context.canvas.stride());
    for (int32_t y = 0; y < header.height; ++y) {
        const bool complete = DecodeLine(file, line.data(), line.size());
        PutLine(header, line.data(), context.canvas.Row(header.height - 1 - y), stride);
        context.RowDone();
        if (!complete) break;
    }
}

}  // namespace

Status ReadPcx(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kShortHeader));
    PcxHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;

    CurrentImage& image = context.image;
    image.palette = ReadPalette(file, header);
    image.width = header.width, image.height = header.height, image.fileBitDepth = header.depth();
    const auto layout = CheckedLayout(header.width, header.height, header.canvasDepth());
    if (!layout || !FileCanHold(*layout, file.size() - kHeaderSize, kRunLengthExpansion) ||
        !context.canvas.Create(header.width, header.height, header.canvasDepth(), 0, image.palette)) {
        return Status::Fail(std::string(kNoMemory));
    }
    DecodeRows(file, header, context);
    return Status::Ok();
}

}  // namespace marbleye
