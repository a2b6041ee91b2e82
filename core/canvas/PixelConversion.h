#pragma once

#include <array>
#include <cstdint>

#include "canvas/Palette.h"

namespace marbleye {

// Row conversions between the canvas depths (1, 4, 8, 24, 32) and the 24- and
// 32-bit rows that readers, writers and image operations exchange. They follow
// the platform's bitmap-bits calls: indices expand through the palette, 24-bit
// pixels gain a fourth byte of 0, 32-bit pixels lose theirs, and colours
// written into a paletted row take the nearest palette entry.

// True for 24 and 32: the depths a row can be copied out as or written in.
bool IsTrueColourDepth(int32_t bitsPerPixel);

// Reads `width` pixels of a canvas row of depth sourceBits and writes them to
// target at 24 or 32 bits.
void ExpandRow(const uint8_t* source, int32_t sourceBits, const PaletteBgr& palette, int32_t width,
               uint8_t* target, int32_t targetBits);

// The palette entry closest to a colour (squared distance, lowest index on a
// tie), with a cache because pictures repeat colours.
class NearestPaletteIndex {
public:
    NearestPaletteIndex(const PaletteBgr& palette, int32_t entries);
    uint8_t operator()(uint8_t blue, uint8_t green, uint8_t red);

private:
    struct CacheSlot {
        uint32_t colour = 0xFFFFFFFF;
        uint8_t index = 0;
    };
    const PaletteBgr& palette_;
    int32_t entries_;
    std::array<CacheSlot, 4096> cache_{};
};

// Writes `width` pixels of a 24- or 32-bit row into a canvas row of depth
// targetBits; paletted targets need the matcher.
void StoreRow(const uint8_t* source, int32_t sourceBits, int32_t width, uint8_t* target, int32_t targetBits,
              NearestPaletteIndex* matcher);

}  // namespace marbleye
