#include "formats/iff/IffBody.h"

#include <algorithm>
#include <cstring>

namespace marbleye::iff {

bool BodyBytes::Read(uint8_t* target, size_t count) {
    if (!byteRun1_) {
        if (file_.Tell() + count > end_) return false;
        return file_.ReadExact(target, count);
    }
    size_t filled = 0;
    while (filled < count) {
        if (repeats_ > 0) {
            const size_t n = std::min<size_t>(static_cast<size_t>(repeats_), count - filled);
            std::memset(target + filled, value_, n);
            filled += n;
            repeats_ -= static_cast<int>(n);
            continue;
        }
        if (literals_ > 0) {
            const int byte = NextByte();
            if (byte < 0) return false;
            target[filled++] = static_cast<uint8_t>(byte);
            --literals_;
            continue;
        }
        const int code = NextByte();
        if (code < 0) return false;
        if (code < 128) {
            literals_ = code + 1;
        } else if (code > 128) {
            const int value = NextByte();
            if (value < 0) return false;
            value_ = static_cast<uint8_t>(value);
            repeats_ = 257 - code;
        }
        // 128 codes nothing.
    }
    return true;
}

void MergePlanes(const uint8_t* row, size_t planeBytes, int planes, uint32_t width, uint32_t* values) {
    std::memset(values, 0, width * sizeof *values);
    for (int plane = 0; plane < planes; ++plane) {
        const uint8_t* bits = row + static_cast<size_t>(plane) * planeBytes;
        for (uint32_t x = 0; x < width; ++x) {
            values[x] |= static_cast<uint32_t>((bits[x >> 3] >> (7 - (x & 7))) & 1) << plane;
        }
    }
}

void HoldAndModify(const uint32_t* values, uint32_t width, int planes, const Palette256& palette, uint8_t* bgr) {
    // The two highest planes say what a pixel does; with a plane fewer than
    // the full six or eight, the missing highest plane is taken as clear.
    const int dataBits = planes <= 6 ? 4 : 6;
    const uint32_t dataMask = (1u << dataBits) - 1;
    uint8_t red = palette[0], green = palette[1], blue = palette[2];
    for (uint32_t x = 0; x < width; ++x) {
        const uint32_t data = values[x] & dataMask;
        // The new value fills the component's high bits; 4-bit data is
        // repeated into the low ones, 6-bit data keeps the low two bits held.
        const auto modified = [&](uint8_t held) {
            return static_cast<uint8_t>(dataBits == 4 ? data * 17 : (data << 2) | (held & 3));
        };
        switch ((values[x] >> dataBits) & 3) {
            case 0:
                red = palette[data * 3], green = palette[data * 3 + 1], blue = palette[data * 3 + 2];
                break;
            case 1: blue = modified(blue); break;
            case 2: red = modified(red); break;
            default: green = modified(green); break;
        }
        bgr[x * 3] = blue, bgr[x * 3 + 1] = green, bgr[x * 3 + 2] = red;
    }
}

}  // namespace marbleye::iff
