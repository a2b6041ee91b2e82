#include "formats/tiff/TiffOrientation.h"

#include <cassert>
#include <cstring>

namespace marbleye::tiff {

namespace {

uint16_t Known(uint16_t orientation) { return orientation >= 1 && orientation <= 8 ? orientation : 1; }

// Copies pixel `from` of one packed row to pixel `to` of another, at a depth
// of 1, 4, 8, 24 or 32 bits; the other pixels sharing its byte stay.
void CopyPixel(const uint8_t* source, uint32_t from, uint8_t* target, uint32_t to, int32_t depth) {
    if (depth == 1) {
        const bool set = (source[from >> 3] >> (7 - (from & 7))) & 1;
        const auto bit = static_cast<uint8_t>(0x80 >> (to & 7));
        target[to >> 3] = set ? (target[to >> 3] | bit) : (target[to >> 3] & ~bit);
    } else if (depth == 4) {
        const uint8_t nibble = (from & 1) ? (source[from >> 1] & 0x0F) : (source[from >> 1] >> 4);
        uint8_t& byte = target[to >> 1];
        byte = (to & 1) ? ((byte & 0xF0) | nibble) : static_cast<uint8_t>((byte & 0x0F) | (nibble << 4));
    } else {
        const size_t bytes = static_cast<size_t>(depth / 8);
        std::memcpy(target + to * bytes, source + from * bytes, bytes);
    }
}

}  // namespace

bool ExchangesSides(uint16_t orientation) { return Known(orientation) >= 5; }

OrientedRows::OrientedRows(ImageCanvas& canvas, uint32_t storedWidth, uint32_t storedHeight, uint16_t orientation)
    : canvas_(canvas), storedWidth_(storedWidth), storedHeight_(storedHeight) {
    const uint16_t o = Known(orientation);
    exchanged_ = o >= 5;
    columnsReversed_ = o == 2 || o == 3 || o == 7 || o == 8;
    rowsReversed_ = o == 3 || o == 4 || o == 6 || o == 7;
    assert(static_cast<uint32_t>(canvas.width()) == (exchanged_ ? storedHeight : storedWidth));
    assert(static_cast<uint32_t>(canvas.height()) == (exchanged_ ? storedWidth : storedHeight));
}

void OrientedRows::Put(const uint8_t* row, uint32_t y) {
    assert(y < storedHeight_);
    if (exchanged_) {
        PutDown(row, y);
    } else {
        PutAcross(row, y);
    }
}

// A stored row shown as a row: the canvas rows run from the bottom.
void OrientedRows::PutAcross(const uint8_t* row, uint32_t y) {
    const uint32_t shownRow = rowsReversed_ ? storedHeight_ - 1 - y : y;
    uint8_t* target = canvas_.Row(static_cast<int32_t>(storedHeight_ - 1 - shownRow));
    const int32_t depth = canvas_.bitsPerPixel();
    if (!columnsReversed_) {
        std::memcpy(target, row, (static_cast<size_t>(storedWidth_) * depth + 7) / 8);
        return;
    }
    for (uint32_t x = 0; x < storedWidth_; ++x) CopyPixel(row, x, target, storedWidth_ - 1 - x, depth);
}

// A stored row shown as a column, its first pixel at the top or the bottom.
void OrientedRows::PutDown(const uint8_t* row, uint32_t y) {
    const uint32_t column = rowsReversed_ ? storedHeight_ - 1 - y : y;
    const int32_t depth = canvas_.bitsPerPixel();
    for (uint32_t x = 0; x < storedWidth_; ++x) {
        const uint32_t shownRow = columnsReversed_ ? storedWidth_ - 1 - x : x;
        CopyPixel(row, x, canvas_.Row(static_cast<int32_t>(storedWidth_ - 1 - shownRow)), column, depth);
    }
}

}  // namespace marbleye::tiff
