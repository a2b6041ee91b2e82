#pragma once

// Pictures with coverage, as the resource generator assembles them before
// they are laid on the button face: icons read from the Tango theme's PNG
// files, scaled copies of them, and our own pixel drawings.
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace marbleye::artwork {

// Colour premultiplied by coverage: r, g and b run from 0 to 255 times a, a
// from 0 (nothing) to 1 (fully covered).
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

class Layer {
public:
    Layer(int width, int height) : width_(width), height_(height), pixels_(width * height) {}
    int width() const { return width_; }
    int height() const { return height_; }
    const Rgba& At(int x, int y) const { return pixels_[y * width_ + x]; }
    Rgba& At(int x, int y) { return pixels_[y * width_ + x]; }

private:
    int width_, height_;
    std::vector<Rgba> pixels_;
};

// A pixel drawing: equally long rows of colour letters (see kArtColours in
// IconLayer.cpp), '.' where nothing is drawn.
struct Art {
    std::span<const char* const> rows;
};

// The square icon of the given size from a PNG file. Empty, with the reason
// in error, when the file is missing, unreadable or of another size.
std::optional<Layer> LoadPngIcon(const std::string& path, int size, std::string& error);

// The layer scaled down to size x size, each new pixel the average of the
// area it covers.
Layer Downscaled(const Layer& layer, int size);

Layer LayerFromArt(const Art& art);

// Paints the drawing's pixels over the layer with (left, top) as its corner.
void Stamp(Layer& layer, const Art& art, int left, int top);

}  // namespace marbleye::artwork
