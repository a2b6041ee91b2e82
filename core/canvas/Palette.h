#pragma once

#include <array>
#include <cstdint>

namespace marbleye {

// 256 colours as red, green, blue triples: what readers fill before they
// create a paletted canvas.
using Palette256 = std::array<uint8_t, 768>;

// The canvas keeps its own copy in blue, green, red order.
using PaletteBgr = std::array<uint8_t, 768>;

// The canvas's palette in the order readers and Create take.
Palette256 ToRgb(const PaletteBgr& bgr);

// Grey images get the ramp 0, 1, ..., 255 in all three components.
Palette256 GrayRamp();

}  // namespace marbleye
