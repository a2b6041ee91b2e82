#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "canvas/ImageCanvas.h"
#include "canvas/PixelLimits.h"

// Pictures and canvases shared by the tests of the effects.
namespace marbleye::test {

// A picture as the effects see it: stored rows from the bottom, blue, green,
// red, without row padding.
struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> bytes;

    uint8_t& At(int32_t x, int32_t y, int32_t c) { return bytes[(static_cast<size_t>(y) * width + x) * 3 + c]; }
    uint8_t At(int32_t x, int32_t y, int32_t c) const {
        return bytes[(static_cast<size_t>(y) * width + x) * 3 + c];
    }
    bool operator==(const Picture&) const = default;
};

inline Picture RandomPicture(int32_t width, int32_t height, uint32_t seed) {
    std::mt19937 random(seed);
    Picture picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    for (uint8_t& byte : picture.bytes) byte = static_cast<uint8_t>(random());
    return picture;
}

inline Picture UniformPicture(int32_t width, int32_t height, uint8_t value) {
    return Picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3, value)};
}

inline std::vector<uint8_t> PaddedRows(const Picture& picture) {
    const size_t stride = static_cast<size_t>(RowStride(picture.width, 24));
    std::vector<uint8_t> rows(stride * picture.height);
    for (int32_t y = 0; y < picture.height; ++y) {
        std::copy_n(picture.bytes.data() + static_cast<size_t>(y) * picture.width * 3, picture.width * 3, rows.data() + y * stride);
    }
    return rows;
}

inline void MakeCanvas(const Picture& picture, ImageCanvas& canvas, int32_t bits = 24) {
    ASSERT_TRUE(canvas.Create(picture.width, picture.height, bits, 0, Palette256{}));
    ASSERT_TRUE(canvas.PutBits(24, PaddedRows(picture).data()));
}

inline Picture Read(const ImageCanvas& canvas) {
    const PixelBuffer copy = canvas.CopyBits(24);
    Picture picture{canvas.width(), canvas.height(), {}};
    for (int32_t y = 0; y < canvas.height(); ++y) {
        picture.bytes.insert(picture.bytes.end(), copy.Row(y), copy.Row(y) + canvas.width() * 3);
    }
    return picture;
}

template <typename Effect>
Picture Applied(const Picture& picture, Effect effect) {
    ImageCanvas canvas;
    MakeCanvas(picture, canvas);
    EXPECT_TRUE(effect(canvas));
    return Read(canvas);
}

}  // namespace marbleye::test
