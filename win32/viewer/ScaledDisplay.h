#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Draws the whole canvas into the rectangle through the resampler chosen by
// "ThumbScaleType". False, with nothing drawn, when the system's stretch is
// to do it instead: method 0, the rectangle as large as the picture, a
// picture over 1500 pixels in a direction, a target too large to hold, or a
// playing animation.
bool DrawResampled(HDC dc, int x, int y, int w, int h);

// Drops the kept resampled picture once the canvas has changed.
void ForgetResampledPicture();

}  // namespace marbleye::win32
