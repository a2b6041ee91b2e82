#pragma once

#include <array>
#include <cassert>
#include <cstdint>

namespace marbleye {

// A channel value of `bits` bits (1 to 32) expanded to 8: v x 255 / (2^bits - 1),
// rounded, so that the largest value becomes 255 whatever the width.
constexpr uint8_t ScaleToEightBits(uint32_t value, int bits) {
    assert(bits >= 1 && bits <= 32);
    const uint64_t largest = (uint64_t{1} << bits) - 1;
    assert(value <= largest);
    return static_cast<uint8_t>((value * uint64_t{510} + largest) / (2 * largest));
}

// A channel value of 5 bits expanded to 8: v x 255 / 31, rounded.
inline constexpr std::array<uint8_t, 32> kFiveBitToEight = [] {
    std::array<uint8_t, 32> table{};
    for (uint32_t v = 0; v < 32; ++v) table[v] = ScaleToEightBits(v, 5);
    return table;
}();

}  // namespace marbleye
