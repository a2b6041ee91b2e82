#include "canvas/PixelLimits.h"

#include <limits>

namespace marbleye {

namespace {

size_t g_pixelByteLimit = size_t{1} << 30;

}  // namespace

int64_t RowStride(int64_t width, int32_t bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

std::optional<PixelLayout> CheckedLayout(int64_t width, int64_t height, int32_t bitsPerPixel) {
    constexpr int64_t kMaxSide = std::numeric_limits<int32_t>::max() / 32;
    if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32) return std::nullopt;
    if (width > kMaxSide || height > kMaxSide) return std::nullopt;
    const int64_t stride = RowStride(width, bitsPerPixel);
    if (stride > static_cast<int64_t>(g_pixelByteLimit) / height) return std::nullopt;
    PixelLayout layout;
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);
    layout.bitsPerPixel = bitsPerPixel;
    layout.stride = static_cast<int32_t>(stride);
    layout.byteCount = static_cast<size_t>(stride * height);
    return layout;
}

size_t PixelByteLimit() { return g_pixelByteLimit; }

void SetPixelByteLimit(size_t bytes) { g_pixelByteLimit = bytes; }

}  // namespace marbleye
