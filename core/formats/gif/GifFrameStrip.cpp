#include "formats/gif/GifFrameStrip.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "canvas/PixelLimits.h"
#include "formats/gif/GifFormat.h"

namespace marbleye::gif {

uint64_t FrameStripBuilder::BytesWith(int32_t width, int32_t height) const {
    const int32_t newWidth = std::max(width, cellWidth_), newHeight = std::max(height, cellHeight_);
    return static_cast<uint64_t>(RowStride(newWidth, 24)) * static_cast<uint64_t>(newHeight) *
           static_cast<uint64_t>(cells_ + 1);
}

bool FrameStripBuilder::Start(int32_t width, int32_t height, const uint8_t* background) {
    assert(cells_ == 0);
    cellWidth_ = width, cellHeight_ = height;
    stride_ = static_cast<size_t>(RowStride(width, 24));
    return AddCell(false, background);
}

std::optional<std::string_view> FrameStripBuilder::Grow(int32_t width, int32_t height, const uint8_t* background) {
    assert(cells_ > 0);
    if (width <= cellWidth_ && height <= cellHeight_) return std::nullopt;
    const int32_t newWidth = std::max(width, cellWidth_), newHeight = std::max(height, cellHeight_);
    if (!CheckedLayout(newWidth, static_cast<int64_t>(newHeight) * cells_, 24)) return kNoGrownStrip;
    std::vector<uint8_t> old;
    old.swap(bytes_);
    const int32_t oldHeight = cellHeight_;
    const size_t oldStride = stride_;
    const int32_t oldWidth = cellWidth_;
    cellWidth_ = newWidth, cellHeight_ = newHeight;
    stride_ = static_cast<size_t>(RowStride(newWidth, 24));
    bytes_.assign(stride_ * static_cast<size_t>(newHeight) * cells_, 0);
    for (int32_t cell = 0; cell < cells_; ++cell) {
        FillCell(cell, background);
        for (int32_t y = 0; y < oldHeight; ++y) {  // y from the top of the cell
            const size_t oldRow = static_cast<size_t>(cell) * oldHeight + oldHeight - 1 - y;
            std::memcpy(Row(cell, y), old.data() + oldRow * oldStride, static_cast<size_t>(oldWidth) * 3);
        }
    }
    return std::nullopt;
}

bool FrameStripBuilder::AddCell(bool copyPrevious, const uint8_t* background) {
    if (!CheckedLayout(cellWidth_, static_cast<int64_t>(cellHeight_) * (cells_ + 1), 24)) return false;
    const size_t cellBytes = stride_ * static_cast<size_t>(cellHeight_);
    bytes_.resize(cellBytes * (cells_ + 1));
    ++cells_;
    if (copyPrevious && cells_ >= 2) {
        std::memcpy(bytes_.data() + cellBytes * (cells_ - 1), bytes_.data() + cellBytes * (cells_ - 2), cellBytes);
    } else {
        FillCell(cells_ - 1, background);
    }
    return true;
}

void FrameStripBuilder::Draw(const Frame& frame, int32_t left, int32_t top, const Palette256& palette, int32_t transparent) {
    assert(cells_ > 0);
    assert(frame.indices.size() == static_cast<size_t>(frame.width) * frame.height);
    const int32_t cell = cells_ - 1;
    for (int32_t y = 0; y < frame.height; ++y) {
        const int32_t cy = top + y;
        if (cy < 0 || cy >= cellHeight_) continue;
        uint8_t* row = Row(cell, cy);
        const uint8_t* source = frame.indices.data() + static_cast<size_t>(y) * frame.width;
        for (int32_t x = 0; x < frame.width; ++x) {
            const int32_t cx = left + x;
            if (cx < 0 || cx >= cellWidth_ || source[x] == transparent) continue;
            const uint8_t* colour = palette.data() + source[x] * 3;
            row[cx * 3] = colour[2], row[cx * 3 + 1] = colour[1], row[cx * 3 + 2] = colour[0];
        }
    }
}

uint8_t* FrameStripBuilder::Row(int32_t cell, int32_t y) {
    assert(cell >= 0 && cell < cells_ && y >= 0 && y < cellHeight_);
    return bytes_.data() + (static_cast<size_t>(cell) * cellHeight_ + cellHeight_ - 1 - y) * stride_;
}

void FrameStripBuilder::FillCell(int32_t cell, const uint8_t* background) {
    for (int32_t y = 0; y < cellHeight_; ++y) {
        uint8_t* row = Row(cell, y);
        for (int32_t x = 0; x < cellWidth_; ++x) {
            row[x * 3] = background[2], row[x * 3 + 1] = background[1], row[x * 3 + 2] = background[0];
        }
    }
}

}  // namespace marbleye::gif
