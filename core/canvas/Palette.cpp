#include "canvas/Palette.h"

namespace marbleye {

Palette256 GrayRamp() {
    Palette256 palette{};
    for (int i = 0; i < 256; ++i) {
        palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = static_cast<uint8_t>(i);
    }
    return palette;
}

}  // namespace marbleye
