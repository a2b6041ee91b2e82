#pragma once

#include <cstdint>

#include "canvas/ImageCanvas.h"

namespace marbleye {

class Host;

// The effects of the Image menu. Each works on a 24-bit copy of the canvas
// (stored rows, bottom-up) and writes its result back at 24 bits: a canvas
// of another depth becomes a 24-bit canvas keeping its palette. They return
// false, leaving the canvas as it was, when it is empty or a work buffer
// cannot be had. A host, when given, shows the progress; the step counts are
// given with each effect. Parameters outside their dialog's range are
// clamped to it.

// Blurs with a 3x3 box, edge pixels repeated outwards, repeatCount (1..100)
// times, each pass working on the previous pass's result. Each channel byte
// is blurred only when a draw of std::minstd_rand seeded with seed, taken
// modulo 100, is at most randomization (1..100), so 100 blurs every byte.
// One draw per byte, in the order blue, green, red, pixel by pixel, row by
// row from the first stored row. Progress: height x repeatCount steps.
bool BlurImage(ImageCanvas& canvas, int32_t randomization, int32_t repeatCount, uint32_t seed, Host* host);

// Replaces every pixelWidth x pixelWidth block (1..64; aligned to the first
// column and the first stored row, narrower or shorter at the far edges) by
// its average colour, truncated. Progress: one step per row of blocks.
bool PixelizeImage(ImageCanvas& canvas, int32_t pixelWidth, Host* host);

// Sharpens by percent (1..100): each interior channel value v becomes
// (p(v) - n(sum of its eight neighbours) + 4) / 8 rounded down and clamped
// to 0..255, with p(v) = 800 v / f, n(v) = (p(v) - 8 v + 4) / 8 rounded down
// and f = 100 - percent (1 at 100). The first and last row and column stay.
// Progress: one step per row.
bool SharpenImage(ImageCanvas& canvas, int32_t percent, Host* host);

// Blends the picture with itself shifted by half its width and half its
// height, so that it tiles: the shifted copy shows at the edges, the picture
// itself in the middle. The middle row and column of an odd size keep their
// values. Pictures with a side shorter than 4 pixels
// stay as they are (true, the canvas untouched, no progress). Progress: one
// step per row.
bool SeamlessImage(ImageCanvas& canvas, Host* host);

// Draws a 50-pixel bevel: the top and left edges lightened, the bottom and
// right edges darkened, strongest at the picture's edge. Progress: 200
// steps, one per band row or column, whether or not it lies in the picture.
bool ButtonizeImage(ImageCanvas& canvas, Host* host);

}  // namespace marbleye
