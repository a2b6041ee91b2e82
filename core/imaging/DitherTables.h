#pragma once

#include <array>
#include <cstdint>

namespace marbleye::quantize {

// The jitter dither's three fixed tables of 1024 entries: P (indices 2..1023),
// Q (thresholds 0..8) and O (offsets -16, -8, 0, 8, 16).
struct JitterTables {
    std::array<int16_t, 1024> index{};
    std::array<int8_t, 1024> threshold{};
    std::array<int8_t, 1024> offset{};
};
const JitterTables& Jitter();

// The 4 x 4 ordered-dither matrix (Bayer order, minus 7).
inline constexpr int kOrderedMatrix[4][4] = {{-7, 1, -5, 3}, {5, -3, 7, -1}, {-4, 4, -6, 2}, {8, 0, 6, -2}};

// The standard 8 x 8 Bayer matrix, values 0..63.
inline constexpr uint8_t kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

}  // namespace marbleye::quantize
