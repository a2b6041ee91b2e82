#pragma once

#include <cstdint>

#include "canvas/ImageCanvas.h"

namespace marbleye::tiff {

// The Orientation tag says where the stored first row and first column are
// shown: 1 at the top and left (as stored), 2 top and right, 3 bottom and
// right, 4 bottom and left. 5 to 8 exchange rows and columns: the first row
// is shown as the left (5, 8) or right (6, 7) column, the first column at
// the top (5, 6) or at the bottom (7, 8). Other values count as 1.
bool ExchangesSides(uint16_t orientation);

// Puts a picture's stored rows, first stored row first, on a canvas of the
// shown size (the stored one, with width and height exchanged for 5 to 8),
// each pixel where the orientation shows it.
class OrientedRows {
public:
    OrientedRows(ImageCanvas& canvas, uint32_t storedWidth, uint32_t storedHeight, uint16_t orientation);

    // Stored row y: storedWidth pixels packed at the canvas depth.
    void Put(const uint8_t* row, uint32_t y);

private:
    void PutAcross(const uint8_t* row, uint32_t y);
    void PutDown(const uint8_t* row, uint32_t y);

    ImageCanvas& canvas_;
    uint32_t storedWidth_;
    uint32_t storedHeight_;
    bool exchanged_;
    bool columnsReversed_;  // stored columns are shown from the right (exchanged: from the bottom)
    bool rowsReversed_;     // stored rows are shown from the bottom (exchanged: from the right)
};

}  // namespace marbleye::tiff
