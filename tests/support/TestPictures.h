#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "formats/LoadImage.h"

namespace marbleye::test {

// A picture as the outside tools see it: top-down rows of red, green, blue.
struct RgbImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;

    const uint8_t* At(int32_t x, int32_t y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
    bool operator==(const RgbImage&) const = default;
};

// Odd-sized, asymmetric content (a gradient, a red block on blue, a diagonal)
// so that flips, mirror images and red/blue swaps show up.
RgbImage MakePattern(int32_t width, int32_t height);
// A picture that uses only the given colours (RGB triples), in an asymmetric layout.
RgbImage MakePalettePattern(int32_t width, int32_t height, const std::vector<uint32_t>& colours);

std::string ToPpm(const RgbImage& image);
// Reads binary P5 or P6 data with maxval 255; grey becomes RGB.
std::optional<RgbImage> FromPnm(const std::string& data);

// The canvas as top-down RGB (through its 24-bit copy).
RgbImage CanvasToRgb(const ImageCanvas& canvas);
// Fills a canvas of 24 or 32 bits with the picture; false when it cannot be created.
bool CanvasFromRgb(const RgbImage& image, ImageCanvas& canvas, int32_t bitsPerPixel = 24);

uint64_t Fnv1a(const std::vector<uint8_t>& bytes);
// Compares outcomes with a golden file of the repository, or rewrites the file
// when MARBLEYE_UPDATE_GOLDEN is set (and skips).
void ExpectGolden(const std::string& goldenPath, const std::string& outcomes);

// A location-aware message for pixel comparisons: the first difference.
std::string FirstDifference(const RgbImage& expected, const RgbImage& actual);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// One load through the dispatcher with a quiet host.
struct LoadedPicture {
    std::unique_ptr<ImageCanvas> canvas = std::make_unique<ImageCanvas>();
    CurrentImage image;
    std::optional<LoadResult> result;

    bool ok() const { return result && result->status.ok(); }
    std::string message() const { return result ? result->status.message() : std::string(); }
};
LoadedPicture LoadPicture(const std::string& path, const LoadOptions& options = LoadOptions(),
                          Host& host = QuietHost());

// Red, green, blue of a loaded picture at (x, y) from the top left.
std::array<int, 3> PixelOf(const LoadedPicture& picture, int32_t x, int32_t y);

// One line of a corpus golden file: the name, then size, stored depth and a
// hash of the pixels, or the message.
std::string OutcomeLine(const std::string& name, const LoadedPicture& picture);

}  // namespace marbleye::test
