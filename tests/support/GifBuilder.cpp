#include "support/GifBuilder.h"

namespace marbleye::test {

namespace {

void Put16(std::string& out, int v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

int TableBits(size_t entries) {
    int bits = 0;
    while ((2u << bits) < entries) ++bits;
    return bits;
}

// Literal codes only, with a clear code before the decoder's table would
// make the codes wider.
std::string Encode(const std::vector<uint8_t>& pixels, int minimum) {
    if (minimum < 2 || minimum > 11) return std::string(1, static_cast<char>(minimum)) + std::string("\x01\x00\x00", 3);
    const int clear = 1 << minimum, end = clear + 1, width = minimum + 1;
    const int perClear = clear - 2;
    std::string data;
    uint32_t bits = 0;
    int count = 0;
    const auto put = [&](int code) {
        bits |= static_cast<uint32_t>(code) << count;
        count += width;
        while (count >= 8) {
            data += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    };
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % perClear == 0) put(clear);
        put(pixels[i] & (clear - 1));
    }
    put(end);
    if (count > 0) data += static_cast<char>(bits & 0xFF);
    std::string blocks(1, static_cast<char>(minimum));
    for (size_t i = 0; i < data.size(); i += 255) {
        const std::string chunk = data.substr(i, 255);
        blocks += static_cast<char>(chunk.size());
        blocks += chunk;
    }
    blocks += '\0';
    return blocks;
}

std::vector<uint8_t> InPassOrder(const GifFrame& frame) {
    if (!frame.interlaced) return frame.indices;
    std::vector<uint8_t> ordered;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = start[pass]; y < frame.height; y += step[pass]) {
            ordered.insert(ordered.end(), frame.indices.begin() + y * frame.width,
                           frame.indices.begin() + (y + 1) * frame.width);
        }
    }
    return ordered;
}

}  // namespace

std::string GifBuilder::Bytes() const {
    std::string out = "GIF" + version;
    Put16(out, screenWidth);
    Put16(out, screenHeight);
    const bool global = !globalTable.empty();
    out += static_cast<char>(global ? (0x80 | 0x70 | TableBits(globalTable.size() / 3)) : 0);
    out += static_cast<char>(background);
    out += '\0';
    out.append(globalTable.begin(), globalTable.end());
    for (const GifFrame& frame : frames) {
        if (frame.delay) {
            out += "\x21\xF9\x04";
            out += static_cast<char>((frame.disposal << 2) | (frame.transparent >= 0 ? 1 : 0));
            Put16(out, *frame.delay);
            out += static_cast<char>(frame.transparent >= 0 ? frame.transparent : 0);
            out += '\0';
        }
        out += ',';
        Put16(out, frame.left);
        Put16(out, frame.top);
        Put16(out, frame.width);
        Put16(out, frame.height);
        const bool local = !frame.localTable.empty();
        out += static_cast<char>((local ? 0x80 | TableBits(frame.localTable.size() / 3) : 0) |
                                 (frame.interlaced ? 0x40 : 0));
        out.append(frame.localTable.begin(), frame.localTable.end());
        out += Encode(InPassOrder(frame), frame.minimumCodeSize);
    }
    if (trailer) out += ';';
    return out;
}

}  // namespace marbleye::test
