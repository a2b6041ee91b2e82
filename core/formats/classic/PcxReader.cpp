#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/classic/Pcx.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kShortHeader = "Error while reading PCXHeader!";
constexpr std::string_view kNotPcx = "This is not a valid PCXFormatfile!";
constexpr std::string_view kNoMemory = "Not enough Memory!";

// Run-length scan lines: a byte with both top bits set repeats the next byte;
// a run is cut at the end of the line.
bool DecodeLine(InputFile& file, uint8_t* line, size_t length) {
    size_t at = 0;
    while (at < length) {
        const int byte = file.ReadByte();
        if (byte < 0) return false;
        if ((byte & 0xC0) == 0xC0) {
            const int value = file.ReadByte();
            if (value < 0) return false;
            const size_t count = std::min<size_t>(byte & 0x3F, length - at);
            std::memset(line + at, value, count);
            at += count;
        } else {
            line[at++] = static_cast<uint8_t>(byte);
        }
    }
    return true;
}

}  // namespace

Status ReadPcx(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kShortHeader));
    uint8_t header[128];
    if (!file.ReadExact(header, sizeof header)) return Status::Fail(std::string(kShortHeader));
    ByteReader fields(header, sizeof header);
    if (fields.U8() != 10) return Status::Fail(std::string(kNotPcx));
    fields.Skip(2);
    const int bits = fields.U8();
    const int xmin = fields.U16LE(), ymin = fields.U16LE(), xmax = fields.U16LE(), ymax = fields.U16LE();
    fields.Skip(4 + 48 + 1);
    const int planes = fields.U8();
    const int bytesPerLine = fields.U16LE();
    const int32_t width = xmax - xmin + 1, height = ymax - ymin + 1;
    const int depth = bits * planes;
    const bool onePlane = planes == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
    const bool bitPlanes = bits == 1 && planes >= 2 && planes <= 4;
    const bool trueColour = bits == 8 && planes == 3;
    if (width <= 0 || height <= 0 || bytesPerLine <= 0 || !(onePlane || bitPlanes || trueColour)) {
        return Status::Fail(std::string(kNotPcx));
    }

    Palette256& palette = context.image.palette;
    palette.fill(0);
    // Pictures of 2 to 4 bits (three 1-bit planes included) take the header's
    // 16-entry palette, where other programs store it.
    if (depth == 1) {
        palette[3] = palette[4] = palette[5] = 255;
    } else if (depth <= 4) {
        std::memcpy(palette.data(), header + 16, 48);
    } else if (depth == 8 && file.size() >= 128 + 769) {
        uint8_t tail[769];
        file.Seek(file.size() - 769);
        if (file.ReadExact(tail, sizeof tail) && tail[0] == 12) std::memcpy(palette.data(), tail + 1, 768);
        file.Seek(128);
    }
    const int32_t canvasDepth = depth == 1 ? 1 : depth <= 4 ? 4 : depth;
    context.image.width = width, context.image.height = height, context.image.fileBitDepth = depth;
    if (!context.canvas.Create(width, height, canvasDepth, 0, palette)) return Status::Fail(std::string(kNoMemory));

    const size_t planeBytes = static_cast<size_t>(bytesPerLine);
    std::vector<uint8_t> line(planeBytes * planes, 0);
    const size_t stride = static_cast<size_t>(context.canvas.stride());
    for (int32_t y = 0; y < height; ++y) {
        const bool complete = DecodeLine(file, line.data(), line.size());
        uint8_t* target = context.canvas.Row(height - 1 - y);
        if (trueColour) {
            for (int32_t x = 0; x < width && static_cast<size_t>(x) < planeBytes; ++x) {
                target[x * 3] = line[2 * planeBytes + x];
                target[x * 3 + 1] = line[planeBytes + x];
                target[x * 3 + 2] = line[x];
            }
        } else if (bitPlanes) {
            for (int32_t x = 0; x < width && static_cast<size_t>(x / 8) < planeBytes; ++x) {
                int value = 0;
                for (int k = 0; k < planes; ++k) value |= ((line[k * planeBytes + x / 8] >> (7 - x % 8)) & 1) << k;
                target[x / 2] |= static_cast<uint8_t>((x & 1) ? value : value << 4);
            }
        } else if (bits == 2) {
            for (int32_t x = 0; x < width && static_cast<size_t>(x / 4) < planeBytes; ++x) {
                const int value = (line[x / 4] >> (6 - 2 * (x % 4))) & 3;
                target[x / 2] |= static_cast<uint8_t>((x & 1) ? value : value << 4);
            }
        } else {
            std::memcpy(target, line.data(), std::min(stride, planeBytes));
        }
        context.RowDone();
        if (!complete) break;
    }
    return Status::Ok();
}

}  // namespace marbleye
