#pragma once

#include <array>
#include <cstdint>

namespace marbleye {

// The colour conversions the Photoshop reader needs where a file's channels
// are not red, green and blue.

// A stored Lab pixel at 8 bits (lightness 0..255 for 0..100, a and b with
// 128 for 0) as red, green, blue in sRGB; Photoshop's Lab is relative to
// the D50 white.
std::array<uint8_t, 3> LabToRgb(uint8_t lightness, uint8_t a, uint8_t b);

// One colour byte of a CMYK pixel under its black: Photoshop stores ink
// inverted (255 is no ink), so the byte is the inverted colour ink scaled by
// the inverted black ink.
inline uint8_t UnderBlack(uint8_t invertedInk, uint8_t invertedBlack) {
    return static_cast<uint8_t>((invertedInk * invertedBlack + 127) / 255);
}

// A 32-bit floating-point sample (big-endian bytes, 0.0 to 1.0 for black to
// full) at 8 bits, clamped.
uint8_t FloatSampleToByte(const uint8_t* bigEndian);

}  // namespace marbleye
