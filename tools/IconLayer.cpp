#include "IconLayer.h"

#include <png.h>

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace marbleye::artwork {

namespace {

struct ArtColour {
    char letter;
    uint8_t r, g, b;
};

// Tango's own palette, so drawn pictures sit well beside the theme's icons.
constexpr ArtColour kArtColours[] = {
    {'k', 0x2E, 0x34, 0x36},  // aluminium 6, outlines and signs
    {'d', 0x55, 0x57, 0x53},  // aluminium 5
    {'g', 0x88, 0x8A, 0x85},  // aluminium 4
    {'a', 0xBA, 0xBD, 0xB6},  // aluminium 3
    {'l', 0xD3, 0xD7, 0xCF},  // aluminium 2
    {'W', 0xFF, 0xFF, 0xFF},
    {'b', 0x20, 0x4A, 0x87},  // sky blue 3
    {'B', 0x34, 0x65, 0xA4},  // sky blue 2
    {'c', 0x72, 0x9F, 0xCF},  // sky blue 1
    {'G', 0x4E, 0x9A, 0x06},  // chameleon 3
    {'e', 0x73, 0xD2, 0x16},  // chameleon 1
    {'y', 0xFC, 0xE9, 0x4F},  // butter 1
};

Rgba ArtPixel(char letter) {
    for (const ArtColour& colour : kArtColours) {
        if (colour.letter == letter) return Rgba{float(colour.r), float(colour.g), float(colour.b), 1};
    }
    assert(letter == '.' && "unknown colour letter in a drawing");
    return Rgba{};
}

Rgba Premultiplied(const uint8_t* rgba) {
    const float a = rgba[3] / 255.0f;
    return Rgba{rgba[0] * a, rgba[1] * a, rgba[2] * a, a};
}

// The source pixels that output pixel o of a scaling from `from` to `to`
// pixels covers, each with the share of the output it makes.
struct Share {
    int source;
    float weight;
};

std::vector<Share> SharesOf(int o, int from, int to) {
    const double start = double(o) * from / to, end = double(o + 1) * from / to;
    std::vector<Share> shares;
    for (int s = int(std::floor(start)); s < int(std::ceil(end)); ++s) {
        const double overlap = std::min(end, s + 1.0) - std::max(start, double(s));
        shares.push_back(Share{s, float(overlap / (end - start))});
    }
    return shares;
}

}  // namespace

std::optional<Layer> LoadPngIcon(const std::string& path, int size, std::string& error) {
    if (!std::filesystem::exists(path)) {
        error = "missing " + path;
        return std::nullopt;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        error = path + ": " + image.message;
        return std::nullopt;
    }
    if (image.width != static_cast<png_uint_32>(size) || image.height != static_cast<png_uint_32>(size)) {
        error = path + " is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                " pixels, not " + std::to_string(size) + " x " + std::to_string(size);
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        error = path + ": " + image.message;
        return std::nullopt;
    }
    Layer layer(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) layer.At(x, y) = Premultiplied(&pixels[(y * size + x) * 4]);
    }
    return layer;
}

Layer Downscaled(const Layer& layer, int size) {
    assert(size <= layer.width() && size <= layer.height());
    Layer scaled(size, size);
    for (int oy = 0; oy < size; ++oy) {
        const std::vector<Share> rows = SharesOf(oy, layer.height(), size);
        for (int ox = 0; ox < size; ++ox) {
            Rgba sum;
            for (const Share& column : SharesOf(ox, layer.width(), size)) {
                for (const Share& row : rows) {
                    const Rgba& p = layer.At(column.source, row.source);
                    const float w = column.weight * row.weight;
                    sum.r += p.r * w, sum.g += p.g * w, sum.b += p.b * w, sum.a += p.a * w;
                }
            }
            scaled.At(ox, oy) = sum;
        }
    }
    return scaled;
}

Layer LayerFromArt(const Art& art) {
    Layer layer(static_cast<int>(std::strlen(art.rows[0])), static_cast<int>(art.rows.size()));
    Stamp(layer, art, 0, 0);
    return layer;
}

void Stamp(Layer& layer, const Art& art, int left, int top) {
    const size_t width = std::strlen(art.rows[0]);
    for (size_t y = 0; y < art.rows.size(); ++y) {
        assert(std::strlen(art.rows[y]) == width && "rows of a drawing differ in length");
        for (size_t x = 0; x < width; ++x) {
            if (art.rows[y][x] == '.') continue;
            const int px = left + static_cast<int>(x), py = top + static_cast<int>(y);
            assert(px >= 0 && py >= 0 && px < layer.width() && py < layer.height());
            layer.At(px, py) = ArtPixel(art.rows[y][x]);
        }
    }
}

}  // namespace marbleye::artwork
