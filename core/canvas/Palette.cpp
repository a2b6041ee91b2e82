#include "canvas/Palette.h"

namespace marbleye {

Palette256 ToRgb(const PaletteBgr& bgr) {
    Palette256 rgb{};
    for (int i = 0; i < 256; ++i) {
        rgb[i * 3] = bgr[i * 3 + 2], rgb[i * 3 + 1] = bgr[i * 3 + 1], rgb[i * 3 + 2] = bgr[i * 3];
    }
    return rgb;
}

Palette256 GrayRamp() {
    Palette256 palette{};
    for (int i = 0; i < 256; ++i) {
        palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = static_cast<uint8_t>(i);
    }
    return palette;
}

}  // namespace marbleye
