#pragma once

#include <cstdint>
#include <memory>

#include "canvas/PixelLimits.h"
#include "canvas/PixelMemory.h"

namespace marbleye {

// A block of bottom-up pixel rows owned by the caller: the 24- and 32-bit
// copies the canvas hands out, and the work buffers of writers and image
// operations. Empty when the allocation was refused or failed.
class PixelBuffer {
public:
    PixelBuffer() = default;

    // Zero-filled; empty when the size does not pass the pixel gate or memory
    // cannot be had.
    static PixelBuffer Allocate(int64_t width, int64_t height, int32_t bitsPerPixel);

    bool empty() const { return !bytes_; }
    explicit operator bool() const { return !empty(); }

    const PixelLayout& layout() const { return layout_; }
    int32_t width() const { return layout_.width; }
    int32_t height() const { return layout_.height; }
    int32_t bitsPerPixel() const { return layout_.bitsPerPixel; }
    int32_t stride() const { return layout_.stride; }
    size_t byteCount() const { return layout_.byteCount; }

    uint8_t* data() { return bytes_.get(); }
    const uint8_t* data() const { return bytes_.get(); }
    // Row numbers count from the bottom, as in the canvas.
    uint8_t* Row(int32_t row) { return bytes_.get() + static_cast<size_t>(row) * layout_.stride; }
    const uint8_t* Row(int32_t row) const { return bytes_.get() + static_cast<size_t>(row) * layout_.stride; }

private:
    PixelLayout layout_;
    std::unique_ptr<uint8_t[], PixelMemoryDeleter> bytes_;
};

}  // namespace marbleye
