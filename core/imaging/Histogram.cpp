#include "imaging/Histogram.h"

#include <algorithm>

namespace marbleye::quantize {

namespace {

// Corner cells in the order their palette entries take: black, red, green,
// blue, yellow, cyan, magenta, white.
constexpr std::array<std::array<int, 3>, 8> kCorners = {{
    {0, 0, 0}, {31, 0, 0}, {0, 31, 0}, {0, 0, 31}, {31, 31, 0}, {0, 31, 31}, {31, 0, 31}, {31, 31, 31},
}};

uint8_t Scale5(int v) { return static_cast<uint8_t>(v * 255 / 31); }

struct ColourBox {
    std::array<int, 3> low{}, high{}, mean{};
    int count = 0;
};

// Tightens a box around the counted cells inside it.
void Shrink(const Histogram& histogram, ColourBox& box) {
    std::array<int, 3> low{31, 31, 31}, high{0, 0, 0};
    std::array<uint64_t, 3> weighted{};
    uint64_t total = 0;
    for (int r = box.low[0]; r <= box.high[0]; ++r) {
        for (int g = box.low[1]; g <= box.high[1]; ++g) {
            for (int b = box.low[2]; b <= box.high[2]; ++b) {
                const int count = histogram.count(Histogram::Cell(r, g, b));
                if (count == 0) continue;
                const int coordinates[3] = {r, g, b};
                for (int c = 0; c < 3; ++c) {
                    low[c] = std::min(low[c], coordinates[c]);
                    high[c] = std::max(high[c], coordinates[c]);
                    weighted[c] += static_cast<uint64_t>(coordinates[c]) * count;
                }
                total += count;
            }
        }
    }
    box.low = low, box.high = high;
    if (total == 0) {
        box.mean = {0, 0, 0};
        box.count = 0;
        return;
    }
    for (int c = 0; c < 3; ++c) box.mean[c] = static_cast<int>(weighted[c] / total);
    const bool single = low == high;
    box.count = single ? 1 : static_cast<int>(std::min<uint64_t>(total, 65535));
}

}  // namespace

void Histogram::Count(const PixelBuffer& pixels) {
    for (int32_t y = 0; y < pixels.height(); ++y) {
        const uint8_t* row = pixels.Row(y);
        for (int32_t x = 0; x < pixels.width(); ++x) {
            const int cell = Cell(row[x * 3 + 2] >> 3, row[x * 3 + 1] >> 3, row[x * 3] >> 3);
            if (counts_[cell] < 65535) ++counts_[cell];
        }
    }
}

uint8_t Histogram::Lookup(int r, int g, int b, const Palette256& palette) {
    const int cell = Cell(r >> 3, g >> 3, b >> 3);
    if (cached_[cell] >= 0) return static_cast<uint8_t>(cached_[cell]);
    int best = 0, bestDistance = INT32_MAX;
    for (int i = 0; i < 256 && bestDistance > 0; ++i) {
        const int dr = palette[i * 3] - r, dg = palette[i * 3 + 1] - g, db = palette[i * 3 + 2] - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) bestDistance = distance, best = i;
    }
    cached_[cell] = static_cast<int16_t>(best);
    return static_cast<uint8_t>(best);
}

void MedianCut(Histogram& histogram, Palette256& palette) {
    std::array<ColourBox, 256> boxes{};
    for (size_t i = 0; i < kCorners.size(); ++i) {
        const auto& corner = kCorners[i];
        histogram.SetCount(Histogram::Cell(corner[0], corner[1], corner[2]), 0);
        boxes[i].low = boxes[i].high = boxes[i].mean = corner;
        boxes[i].count = 1;
    }
    boxes[8].low = {0, 0, 0};
    boxes[8].high = {31, 31, 31};
    Shrink(histogram, boxes[8]);

    for (int i = 9; i < 256; ++i) {
        int picked = 8;
        for (int j = 9; j < i; ++j) {
            if (boxes[j].count > boxes[picked].count) picked = j;
        }
        ColourBox& source = boxes[picked];
        ColourBox& split = boxes[i];
        split = source;
        const int er = source.high[0] - source.low[0], eg = source.high[1] - source.low[1],
                  eb = source.high[2] - source.low[2];
        const int axis = (er >= eg && er >= eb) ? 0 : (eg >= eb ? 1 : 2);
        const int L = source.low[axis], H = source.high[axis], M = source.mean[axis];
        if (H - L == 2) {
            split.low[axis] = split.high[axis] = L;
            source.low[axis] = source.high[axis] = H;
        } else {
            const int C = M < H ? M : H - 1;
            source.high[axis] = C;
            split.low[axis] = C + 1;
            split.high[axis] = H;
        }
        Shrink(histogram, split);
        Shrink(histogram, source);
    }
    for (int k = 0; k < 256; ++k) {
        for (int c = 0; c < 3; ++c) palette[k * 3 + c] = Scale5((boxes[k].low[c] + boxes[k].high[c]) >> 1);
    }
}

void PopularitySort(const Histogram& histogram, Palette256& palette) {
    palette.fill(0);
    for (size_t i = 0; i < kCorners.size(); ++i) {
        for (int c = 0; c < 3; ++c) palette[i * 3 + c] = Scale5(kCorners[i][c]);
    }
    std::array<int, 256> counts{};
    std::array<int, 256> cells;
    cells.fill(-1);
    for (int cell = 0; cell < Histogram::kCells; ++cell) {
        const int count = histogram.count(cell);
        if (count <= counts[255]) continue;
        int slot = 255;
        counts[slot] = count, cells[slot] = cell;
        while (slot > 8 && counts[slot - 1] < counts[slot]) {
            std::swap(counts[slot - 1], counts[slot]);
            std::swap(cells[slot - 1], cells[slot]);
            --slot;
        }
    }
    for (int k = 8; k < 256; ++k) {
        if (cells[k] < 0) continue;  // fewer cells than slots: black
        const int cell = cells[k];
        palette[k * 3] = Scale5(cell >> 10);
        palette[k * 3 + 1] = Scale5((cell >> 5) & 31);
        palette[k * 3 + 2] = Scale5(cell & 31);
    }
}

}  // namespace marbleye::quantize
