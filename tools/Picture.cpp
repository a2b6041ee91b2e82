#include "Picture.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <set>

#include "PaletteFit.h"
#include "canvas/ImageCanvas.h"
#include "formats/bmp/Bmp.h"

namespace marbleye::artwork {

namespace {

uint8_t Channel(float premultiplied, float coverage, uint8_t background) {
    return static_cast<uint8_t>(std::lround(std::clamp(premultiplied + background * (1 - coverage), 0.0f, 255.0f)));
}

// A pixel of the icon itself must not come out as one of the greys the
// program maps to system colours, or it would change colour with the desktop
// scheme (and as the face colour, turn transparent on the toolbar). Pixels
// less than half covered may stay button face: they are background.
Rgb AwayFromMappedGreys(Rgb colour, float coverage) {
    const bool face = colour == kButtonFace && coverage >= 0.5f;
    if (face || colour == kMappedShadow || colour == kMappedLight) ++colour.b;
    return colour;
}

}  // namespace

void Picture::Composite(const Layer& layer, int left, int top) {
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            assert(Get(left + x, top + y) == kButtonFace);
            const Rgba& p = layer.At(x, y);
            const Rgb colour{Channel(p.r, p.a, kButtonFace.r), Channel(p.g, p.a, kButtonFace.g),
                             Channel(p.b, p.a, kButtonFace.b)};
            Set(left + x, top + y, AwayFromMappedGreys(colour, p.a));
        }
    }
}

bool Picture::SaveBmp(const std::string& path, int bits) const {
    assert(bits == 8 || bits == 24);
    const std::vector<Rgb> pixels = bits == 8 ? AtMost256Colours(pixels_, {kButtonFace, kMappedShadow, kMappedLight})
                                              : pixels_;
    ImageCanvas canvas;
    if (!canvas.Create(width_, height_, 24, 0, Palette256{})) return false;
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = canvas.Row(height_ - 1 - y);
        for (int x = 0; x < width_; ++x) {
            const Rgb p = pixels[y * width_ + x];
            row[x * 3] = p.b, row[x * 3 + 1] = p.g, row[x * 3 + 2] = p.r;
        }
    }
    // At 8 bits the writer keeps the exact colours of a picture that has at
    // most 256 of them.
    return WriteBmp(path, canvas, bits, QuietHost()).ok();
}

}  // namespace marbleye::artwork
