#pragma once

#include <cstdint>

#include "canvas/ImageCanvas.h"
#include "canvas/PixelBuffer.h"

namespace marbleye {

// The canvas's pixels at 24 bits for a writer: the canvas rows themselves
// when it already has 24 bits, otherwise a converted copy. Rows count from
// the bottom, as in the canvas. Empty when the copy cannot be made.
class TrueColourRows {
public:
    explicit TrueColourRows(const ImageCanvas& canvas) {
        if (canvas.valid() && canvas.bitsPerPixel() == 24) {
            bits_ = canvas.bits();
            width_ = canvas.width(), height_ = canvas.height(), stride_ = canvas.stride();
            return;
        }
        copy_ = canvas.CopyBits(24);
        if (copy_.empty()) return;
        bits_ = copy_.data();
        width_ = copy_.width(), height_ = copy_.height(), stride_ = copy_.stride();
    }

    bool empty() const { return bits_ == nullptr; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t stride() const { return stride_; }
    size_t byteCount() const { return static_cast<size_t>(stride_) * height_; }
    const uint8_t* data() const { return bits_; }
    const uint8_t* Row(int32_t row) const { return bits_ + static_cast<size_t>(row) * stride_; }

private:
    PixelBuffer copy_;
    const uint8_t* bits_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t stride_ = 0;
};

}  // namespace marbleye
