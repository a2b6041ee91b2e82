#include "canvas/ImageCanvas.h"

#include <algorithm>
#include <optional>
#include <cstring>

#include "canvas/PixelConversion.h"
#include "canvas/PixelMemory.h"

namespace marbleye {

namespace {

class HeapAllocator final : public PixelAllocator {
public:
    uint8_t* Allocate(const PixelLayout& layout, const PaletteBgr&) override {
        return AllocateZeroedPixels(layout.byteCount);
    }
    void Release(uint8_t* bits) override { ReleasePixels(bits); }
    bool ReturnsZeroedMemory() const override { return true; }
};

bool IsCanvasDepth(int32_t bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || IsTrueColourDepth(bitsPerPixel);
}

}  // namespace

PixelAllocator& HeapPixelAllocator() {
    static HeapAllocator allocator;
    return allocator;
}

ImageCanvas::ImageCanvas(PixelAllocator& allocator) : allocator_(allocator) {}

// The program's canvas lives until exit and is cleared explicitly on the way
// out; releasing here as well keeps short-lived canvases (tests, the command
// line tool) from leaking.
ImageCanvas::~ImageCanvas() { Clear(); }

bool ImageCanvas::Allocate(int32_t width, int32_t height, int32_t bitsPerPixel, const Palette256& palette) {
    Clear();
    if (!IsCanvasDepth(bitsPerPixel)) return false;
    const std::optional<PixelLayout> layout = CheckedLayout(width, height, bitsPerPixel);
    if (!layout) return false;
    for (size_t i = 0; i < 256; ++i) {
        palette_[i * 3] = palette[i * 3 + 2];
        palette_[i * 3 + 1] = palette[i * 3 + 1];
        palette_[i * 3 + 2] = palette[i * 3];
    }
    bits_ = allocator_.Allocate(*layout, palette_);
    if (!bits_) {
        Clear();
        return false;
    }
    layout_ = *layout;
    valid_ = true;
    return true;
}

bool ImageCanvas::Create(int32_t width, int32_t height, int32_t bitsPerPixel, uint8_t fillByte,
                         const Palette256& palette) {
    if (!Allocate(width, height, bitsPerPixel, palette)) return false;
    if (fillByte != 0 || !allocator_.ReturnsZeroedMemory()) std::memset(bits_, fillByte, layout_.byteCount);
    return true;
}

bool ImageCanvas::CreateFromBits(int32_t width, int32_t height, int32_t bitsPerPixel, const uint8_t* source,
                                 const Palette256& palette) {
    if (!Allocate(width, height, bitsPerPixel, palette)) return false;
    std::memcpy(bits_, source, layout_.byteCount);
    return true;
}

void ImageCanvas::Clear() {
    if (bits_) allocator_.Release(bits_);
    bits_ = nullptr;
    layout_ = PixelLayout();
    valid_ = false;
    palette_.fill(0);
}

bool ImageCanvas::FlipRows() {
    if (!bits_) return false;
    allocator_.Flush();
    for (int32_t top = 0, bottom = layout_.height - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(Row(top), Row(top) + layout_.stride, Row(bottom));
    }
    return true;
}

PixelBuffer ImageCanvas::CopyBits(int32_t bitsPerPixel) const {
    if (!bits_ || !IsTrueColourDepth(bitsPerPixel)) return PixelBuffer();
    PixelBuffer copy = PixelBuffer::Allocate(layout_.width, layout_.height, bitsPerPixel);
    if (copy.empty()) return copy;
    allocator_.Flush();
    for (int32_t row = 0; row < layout_.height; ++row) {
        ExpandRow(Row(row), layout_.bitsPerPixel, palette_, layout_.width, copy.Row(row), bitsPerPixel);
    }
    return copy;
}

PixelBuffer ImageCanvas::CopyRow(int32_t bitsPerPixel, int32_t row) const {
    if (!bits_ || !IsTrueColourDepth(bitsPerPixel) || row < 0 || row >= layout_.height) return PixelBuffer();
    PixelBuffer copy = PixelBuffer::Allocate(layout_.width, 1, bitsPerPixel);
    if (copy.empty()) return copy;
    allocator_.Flush();
    ExpandRow(Row(row), layout_.bitsPerPixel, palette_, layout_.width, copy.data(), bitsPerPixel);
    return copy;
}

std::optional<NearestPaletteIndex> ImageCanvas::PaletteMatcher() const {
    if (IsTrueColourDepth(layout_.bitsPerPixel)) return std::nullopt;
    return std::optional<NearestPaletteIndex>(std::in_place, palette_, 1 << layout_.bitsPerPixel);
}

bool ImageCanvas::PutBits(int32_t bitsPerPixel, const uint8_t* pixels) {
    if (!bits_ || !IsTrueColourDepth(bitsPerPixel)) return false;
    allocator_.Flush();
    std::optional<NearestPaletteIndex> matcher = PaletteMatcher();
    const size_t sourceStride = static_cast<size_t>(RowStride(layout_.width, bitsPerPixel));
    for (int32_t row = 0; row < layout_.height; ++row) {
        StoreRow(pixels + row * sourceStride, bitsPerPixel, layout_.width, Row(row), layout_.bitsPerPixel,
                 matcher ? &*matcher : nullptr);
    }
    return true;
}

bool ImageCanvas::PutRow(int32_t bitsPerPixel, int32_t row, const uint8_t* pixels) {
    if (!bits_ || !IsTrueColourDepth(bitsPerPixel) || row < 0 || row >= layout_.height) return false;
    allocator_.Flush();
    std::optional<NearestPaletteIndex> matcher = PaletteMatcher();
    StoreRow(pixels, bitsPerPixel, layout_.width, Row(row), layout_.bitsPerPixel, matcher ? &*matcher : nullptr);
    return true;
}

}  // namespace marbleye
