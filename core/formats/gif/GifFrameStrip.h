#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "canvas/Palette.h"
#include "formats/gif/GifWalker.h"

namespace marbleye::gif {

// Frames composed into equal 24-bit cells stacked from the bottom of the
// picture up; each cell's rows are bottom-up like the canvas. Cells are
// appended to one growing buffer, so adding a frame does not copy the strip
// each time.
class FrameStripBuilder {
public:
    int32_t cellWidth() const { return cellWidth_; }
    int32_t cellHeight() const { return cellHeight_; }
    int32_t cells() const { return cells_; }
    size_t bytes() const { return bytes_.size(); }
    const uint8_t* data() const { return bytes_.data(); }

    // The strip's size once a frame of width x height has been added to it:
    // its cells enlarged to hold the frame, and one cell more.
    uint64_t BytesWith(int32_t width, int32_t height) const;

    bool Start(int32_t width, int32_t height, const uint8_t* background);
    // Enlarges every cell to at least width x height; earlier frames stay at
    // the top-left of their cells. A message when the memory is refused.
    std::optional<std::string_view> Grow(int32_t width, int32_t height, const uint8_t* background);
    // One more cell: the background, or a copy of the last cell.
    bool AddCell(bool copyPrevious, const uint8_t* background);
    // Draws a frame into the last cell at (left, top); pixels outside the cell
    // and transparent ones are left alone.
    void Draw(const Frame& frame, int32_t left, int32_t top, const Palette256& palette, int32_t transparent);

private:
    // Row y of a cell, counted from the cell's top.
    uint8_t* Row(int32_t cell, int32_t y);
    void FillCell(int32_t cell, const uint8_t* background);

    std::vector<uint8_t> bytes_;
    size_t stride_ = 0;
    int32_t cellWidth_ = 0, cellHeight_ = 0, cells_ = 0;
};

}  // namespace marbleye::gif
