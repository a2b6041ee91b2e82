#pragma once

#include "canvas/Palette.h"

namespace marbleye {

// The two palettes of one-bit pictures: formats born on white paper store a
// set bit for black ink, formats born on screens a set bit for a lit pixel.
inline Palette256 BlackWhitePalette() {
    Palette256 palette{};
    palette[3] = palette[4] = palette[5] = 255;  // entry 0 black, entry 1 white
    return palette;
}

inline Palette256 WhiteBlackPalette() {
    Palette256 palette{};
    palette[0] = palette[1] = palette[2] = 255;  // entry 0 white, entry 1 black
    return palette;
}

}  // namespace marbleye
