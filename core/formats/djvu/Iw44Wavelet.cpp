#include "formats/djvu/Iw44Wavelet.h"

#include <cstddef>

namespace marbleye::djvu {

namespace {

// One lifting pass along a line of `count` samples, `step` elements apart.
// Odd samples become the prediction error against their even neighbours;
// near the ends, where the four-tap stencil does not fit, the prediction is
// the mean of the two neighbours (or the one neighbour there is). Even
// samples are then updated from the errors around them, missing ones
// counting as zero.
void LiftLine(int32_t* line, int32_t count, ptrdiff_t step) {
    auto at = [&](int32_t k) -> int32_t& { return line[k * step]; };
    for (int32_t k = 1; k < count; k += 2) {
        if (k >= 3 && k + 3 < count) {
            at(k) -= (9 * (at(k - 1) + at(k + 1)) - (at(k - 3) + at(k + 3)) + 8) >> 4;
        } else {
            const int32_t right = k + 1 < count ? at(k + 1) : at(k - 1);
            at(k) -= (at(k - 1) + right + 1) >> 1;
        }
    }
    auto error = [&](int32_t k) { return k >= 0 && k < count ? at(k) : 0; };
    for (int32_t k = 0; k < count; k += 2) {
        at(k) += (9 * (error(k - 1) + error(k + 1)) - (error(k - 3) + error(k + 3)) + 16) >> 5;
    }
}

}  // namespace

void ForwardWavelet(int32_t* plane, int32_t width, int32_t height, int32_t stride) {
    for (int32_t scale = 1; scale < 32; scale <<= 1) {
        const int32_t columns = (width - 1) / scale + 1;
        const int32_t rows = (height - 1) / scale + 1;
        for (int32_t y = 0; y < height; y += scale) {
            LiftLine(plane + static_cast<ptrdiff_t>(y) * stride, columns, scale);
        }
        for (int32_t x = 0; x < width; x += scale) {
            LiftLine(plane + x, rows, static_cast<ptrdiff_t>(scale) * stride);
        }
    }
}

int32_t BlockPosition(int32_t index) {
    int32_t column = 0, row = 0;
    for (int32_t level = 0; level < 5; ++level) {
        column |= ((index >> (2 * level)) & 1) << (4 - level);
        row |= ((index >> (2 * level + 1)) & 1) << (4 - level);
    }
    return row * 32 + column;
}

}  // namespace marbleye::djvu
