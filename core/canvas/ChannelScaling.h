#pragma once

#include <array>
#include <cstdint>

namespace marbleye {

// A channel value of 5 bits expanded to 8: v x 255 / 31, rounded.
inline constexpr std::array<uint8_t, 32> kFiveBitToEight = [] {
    std::array<uint8_t, 32> table{};
    for (int v = 0; v < 32; ++v) table[v] = static_cast<uint8_t>((v * 255 * 2 + 31) / 62);
    return table;
}();

}  // namespace marbleye
