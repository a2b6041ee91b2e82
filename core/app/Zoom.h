#pragma once

#include <cstdint>

namespace marbleye {

// The zoom ladder: 0.05, 0.1, 0.15, 0.2, 0.3, 0.5, 0.7, 1, 1.5, 2, 3, 5, 7,
// 10, 20, ..., 100. Outside fit mode the zoom is taken as a whole percentage;
// in fit mode (view style 1) it moves by 0.2 within 0.05 and 100.
float ZoomIn(float zoom, int32_t viewStyle);
float ZoomOut(float zoom, int32_t viewStyle);

// The whole percentage of a zoom, as the status bar and the ladder use it.
int32_t ZoomPercent(float zoom);

}  // namespace marbleye
