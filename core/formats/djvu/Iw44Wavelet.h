#pragma once

#include <cstdint>

namespace marbleye::djvu {

// The IW44 wavelet: five levels (scales 1, 2, 4, 8, 16) of the interpolating
// lifting transform with four-tap prediction and update, each level filtering
// the rows and then the columns of the samples at multiples of its scale.
// Coefficients stay in place: a position's lowest set bit tells its level.
// `plane` holds width x height samples, rows `stride` apart.
void ForwardWavelet(int32_t* plane, int32_t width, int32_t height, int32_t stride);

// Where coefficient `index` (0..1023) of a 32 x 32 block lies: the block's
// row times 32 plus its column. Bits 0, 2, 4, 6, 8 of the index give column
// bits 4 to 0, bits 1, 3, 5, 7, 9 row bits 4 to 0, so the coarse levels come
// first.
int32_t BlockPosition(int32_t index);

}  // namespace marbleye::djvu
