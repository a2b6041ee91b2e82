#pragma once

#include <cstdint>
#include <optional>

#include "canvas/Palette.h"
#include "canvas/PixelAllocator.h"
#include "canvas/PixelBuffer.h"
#include "canvas/PixelConversion.h"

namespace marbleye {

// The one decoded picture of the program: bottom-up rows padded to 4 bytes at
// 1, 4, 8, 24 or 32 bits per pixel, with a 256-entry palette kept in blue,
// green, red order. Readers write straight into its rows; writers and image
// operations take 24- or 32-bit copies of it.
class ImageCanvas {
public:
    explicit ImageCanvas(PixelAllocator& allocator = HeapPixelAllocator());
    virtual ~ImageCanvas();
    ImageCanvas(const ImageCanvas&) = delete;
    ImageCanvas& operator=(const ImageCanvas&) = delete;

    // Replaces the picture with a new one of the given size and depth whose
    // every byte is fillByte. The palette comes in red, green, blue order.
    // False (and a cleared canvas) when the depth is not one of the five or the
    // memory cannot be had.
    bool Create(int32_t width, int32_t height, int32_t bitsPerPixel, uint8_t fillByte, const Palette256& palette);
    // As Create, then copies stride x height bytes laid out like the canvas.
    bool CreateFromBits(int32_t width, int32_t height, int32_t bitsPerPixel, const uint8_t* source,
                        const Palette256& palette);
    void Clear();
    // Reverses the order of the rows; false without pixels.
    bool FlipRows();

    // A copy of the whole picture (or of one row, counted from the bottom) at
    // 24 or 32 bits; empty for any other depth or when memory is short.
    PixelBuffer CopyBits(int32_t bitsPerPixel) const;
    PixelBuffer CopyRow(int32_t bitsPerPixel, int32_t row) const;
    // Writes a whole picture of the canvas's size (or one row) given at 24 or
    // 32 bits into the canvas, converted to its depth. False for other depths,
    // a row outside the picture, or an empty canvas.
    bool PutBits(int32_t bitsPerPixel, const uint8_t* pixels);
    bool PutRow(int32_t bitsPerPixel, int32_t row, const uint8_t* pixels);

    bool valid() const { return valid_; }
    int32_t width() const { return layout_.width; }
    int32_t height() const { return layout_.height; }
    int32_t bitsPerPixel() const { return layout_.bitsPerPixel; }
    int32_t stride() const { return layout_.stride; }
    size_t byteCount() const { return layout_.byteCount; }
    uint8_t* bits() { return bits_; }
    const uint8_t* bits() const { return bits_; }
    uint8_t* Row(int32_t row) { return bits_ + static_cast<size_t>(row) * layout_.stride; }
    const uint8_t* Row(int32_t row) const { return bits_ + static_cast<size_t>(row) * layout_.stride; }
    const PaletteBgr& palette() const { return palette_; }

private:
    std::optional<NearestPaletteIndex> PaletteMatcher() const;
    bool Allocate(int32_t width, int32_t height, int32_t bitsPerPixel, const Palette256& palette);

    PixelAllocator& allocator_;
    PixelLayout layout_;
    bool valid_ = false;
    uint8_t* bits_ = nullptr;
    PaletteBgr palette_{};
};

}  // namespace marbleye
