#pragma once

#include <cstddef>
#include <cstdint>

namespace marbleye::aliaspix {

// Five 16-bit big-endian fields: width, height, x offset, y offset, bits
// per pixel. Rows follow from the top, each coded as runs that end with
// the row: a count byte, then one grey index (8 bits) or blue, green and
// red (24 bits).
inline constexpr size_t kHeaderBytes = 10;
inline constexpr uint16_t kGreyBits = 8, kColourBits = 24;
inline constexpr int32_t kLongestRun = 255;
inline constexpr int32_t kLargestSide = 0xFFFF;

}  // namespace marbleye::aliaspix
