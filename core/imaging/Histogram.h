#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "canvas/Palette.h"
#include "canvas/PixelBuffer.h"

namespace marbleye::quantize {

// 32 x 32 x 32 cells addressed by the top five bits of each channel, with a
// pixel count (saturating at 65535) and the palette index cached for the cell.
class Histogram {
public:
    Histogram() : counts_(kCells, 0), cached_(kCells, -1) {}

    static constexpr int kCells = 32 * 32 * 32;
    static int Cell(int r5, int g5, int b5) { return (r5 * 32 + g5) * 32 + b5; }

    void Count(const PixelBuffer& pixels);
    uint16_t count(int cell) const { return counts_[cell]; }
    void SetCount(int cell, uint16_t value) { counts_[cell] = value; }

    // The palette entry nearest to a colour, searched once per cell.
    uint8_t Lookup(int r, int g, int b, const Palette256& palette);

private:
    std::vector<uint16_t> counts_;
    std::vector<int16_t> cached_;
};

// Palette building steps on a counted histogram.
void MedianCut(Histogram& histogram, Palette256& palette);
void PopularitySort(const Histogram& histogram, Palette256& palette);

}  // namespace marbleye::quantize
