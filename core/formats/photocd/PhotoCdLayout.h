#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/LoadContext.h"

namespace marbleye::photocd {

// The picture packs this reader takes, at fixed offsets of the file. Each
// is stored top row first as row pairs: two rows of luma bytes, then one row
// of C1 and one of C2 bytes at half the width, shared by both rows.
inline constexpr uint64_t kBase16Offset = 0x2000;  // 192 x 128
inline constexpr uint64_t kBase4Offset = 0xB800;   // 384 x 256
inline constexpr uint64_t kBaseOffset = 0x30000;   // 768 x 512

// The first bytes of the file, read whole; the low two bits of the
// orientation byte count quarter turns to the left that bring the stored
// picture upright.
inline constexpr size_t kHeaderBytes = 128;
inline constexpr size_t kOrientationOffset = 72;
inline constexpr uint8_t kOrientationMask = 3;

struct Pack {
    int32_t width;
    int32_t height;
    uint64_t offset;
};

inline size_t RowPairBytes(const Pack& pack) { return static_cast<size_t>(pack.width) * 3; }

// The pack a load reads: 192 x 128 for thumbnails, otherwise the size the
// options name (0, 1 or 2; other values are taken as the nearest of these).
Pack PackFor(const LoadOptions& options);

struct Rgb {
    uint8_t red, green, blue;
};

// One pixel's luma and chroma bytes in the program's colours.
Rgb YccToRgb(uint8_t y, uint8_t c1, uint8_t c2);

}  // namespace marbleye::photocd
