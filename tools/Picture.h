#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "IconLayer.h"

namespace marbleye::artwork {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

// The background that the program maps to the button face colour when it
// loads a bitmap with LR_LOADMAP3DCOLORS; 128 and 223 grey become the 3-D
// shadow and light colours.
constexpr Rgb kButtonFace{192, 192, 192};
constexpr Rgb kMappedShadow{128, 128, 128};
constexpr Rgb kMappedLight{223, 223, 223};

// A top-down RGB drawing surface written out as a bitmap file.
class Picture {
public:
    Picture(int width, int height, Rgb fill) : width_(width), height_(height), pixels_(width * height, fill) {}
    int width() const { return width_; }
    int height() const { return height_; }
    void Set(int x, int y, Rgb colour) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[y * width_ + x] = colour;
    }
    Rgb Get(int x, int y) const { return pixels_[y * width_ + x]; }

    // Lays the layer over the picture, which must be button face there, with
    // (left, top) as its corner. Uncovered pixels stay exactly button face.
    void Composite(const Layer& layer, int left, int top);

    // At 24 bits, or at 8 bits with a palette, the only depth whose colours
    // LR_LOADMAP3DCOLORS maps. A picture of more than 256 colours is reduced
    // first, keeping the mapped greys exact.
    bool SaveBmp(const std::string& path, int bits) const;

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

}  // namespace marbleye::artwork
