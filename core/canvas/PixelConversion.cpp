#include "canvas/PixelConversion.h"

namespace marbleye {

namespace {

uint8_t IndexAt(const uint8_t* row, int32_t bits, int32_t x) {
    switch (bits) {
        case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        default: return row[x];
    }
}

void SetIndexAt(uint8_t* row, int32_t bits, int32_t x, uint8_t index) {
    switch (bits) {
        case 1: {
            const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
            row[x >> 3] = static_cast<uint8_t>(index ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
            break;
        }
        case 4:
            row[x >> 1] = (x & 1) ? static_cast<uint8_t>((row[x >> 1] & 0xF0) | (index & 0x0F))
                                  : static_cast<uint8_t>((row[x >> 1] & 0x0F) | (index << 4));
            break;
        default: row[x] = index;
    }
}

// A 24-bit pixel gains a fourth byte of 0; a 32-bit pixel keeps its own.
void CopyTrueColourRow(const uint8_t* source, int32_t sourceBits, int32_t width, uint8_t* target,
                       int32_t targetBits) {
    const int32_t sourceBytes = sourceBits / 8, targetBytes = targetBits / 8;
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* s = source + x * sourceBytes;
        uint8_t* t = target + x * targetBytes;
        t[0] = s[0], t[1] = s[1], t[2] = s[2];
        if (targetBytes == 4) t[3] = (sourceBytes == 4) ? s[3] : 0;
    }
}

}  // namespace

bool IsTrueColourDepth(int32_t bitsPerPixel) { return bitsPerPixel == 24 || bitsPerPixel == 32; }

void ExpandRow(const uint8_t* source, int32_t sourceBits, const PaletteBgr& palette, int32_t width,
               uint8_t* target, int32_t targetBits) {
    if (IsTrueColourDepth(sourceBits)) {
        CopyTrueColourRow(source, sourceBits, width, target, targetBits);
        return;
    }
    const int32_t targetBytes = targetBits / 8;
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* entry = palette.data() + IndexAt(source, sourceBits, x) * 3;
        uint8_t* t = target + x * targetBytes;
        t[0] = entry[0], t[1] = entry[1], t[2] = entry[2];
        if (targetBytes == 4) t[3] = 0;
    }
}

NearestPaletteIndex::NearestPaletteIndex(const PaletteBgr& palette, int32_t entries)
    : palette_(palette), entries_(entries) {}

uint8_t NearestPaletteIndex::operator()(uint8_t blue, uint8_t green, uint8_t red) {
    const uint32_t colour = (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
    CacheSlot& slot = cache_[(colour * 2654435761u) >> 20];
    if (slot.colour == colour) return slot.index;
    int32_t best = 0;
    int32_t bestDistance = 1 << 30;
    for (int32_t i = 0; i < entries_ && bestDistance > 0; ++i) {
        const uint8_t* entry = palette_.data() + i * 3;
        const int32_t db = entry[0] - blue, dg = entry[1] - green, dr = entry[2] - red;
        const int32_t distance = db * db + dg * dg + dr * dr;
        if (distance < bestDistance) bestDistance = distance, best = i;
    }
    slot.colour = colour;
    slot.index = static_cast<uint8_t>(best);
    return slot.index;
}

void StoreRow(const uint8_t* source, int32_t sourceBits, int32_t width, uint8_t* target, int32_t targetBits,
              NearestPaletteIndex* matcher) {
    if (IsTrueColourDepth(targetBits)) {
        CopyTrueColourRow(source, sourceBits, width, target, targetBits);
        return;
    }
    const int32_t sourceBytes = sourceBits / 8;
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* s = source + x * sourceBytes;
        SetIndexAt(target, targetBits, x, (*matcher)(s[0], s[1], s[2]));
    }
}

}  // namespace marbleye
