#include "imaging/Effects.h"

#include <algorithm>
#include <array>

#include "imaging/EffectResult.h"

namespace marbleye {

namespace {

struct SharpenTables {
    std::array<int32_t, 256> positive;
    std::array<int32_t, 256> negative;
};

// Since C++20, >> of a negative number is division by a power of two
// rounded down (an arithmetic shift), which the tables and the sums rely on.
SharpenTables MakeTables(int32_t percent) {
    const int32_t divisor = std::max(100 - percent, 1);
    SharpenTables tables{};
    for (int32_t v = 0; v < 256; ++v) {
        tables.positive[v] = 800 * v / divisor;
        tables.negative[v] = (tables.positive[v] - 8 * v + 4) >> 3;
    }
    return tables;
}

// The negative-table values of every channel byte of the rows around the
// one being sharpened, computed once per row. Four rows, so that a row's
// place is the low two bits of its number.
class NegativeRows {
public:
    NegativeRows(PixelBuffer& storage, const SharpenTables& tables) : storage_(storage), tables_(tables) {}

    void Fill(int32_t row, const uint8_t* pixels, int32_t bytes) {
        int32_t* values = Row(row);
        for (int32_t i = 0; i < bytes; ++i) values[i] = tables_.negative[pixels[i]];
    }
    const int32_t* Row(int32_t row) const { return reinterpret_cast<const int32_t*>(storage_.Row(row & 3)); }

private:
    int32_t* Row(int32_t row) { return reinterpret_cast<int32_t*>(storage_.Row(row & 3)); }

    PixelBuffer& storage_;
    const SharpenTables& tables_;
};

uint8_t ClampedByte(int32_t value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

// Sharpens the inner pixels of a row where it lies: each byte is read before
// it is written, and its neighbours come from the negative rows.
void SharpenRow(uint8_t* row, int32_t width, int32_t y, const NegativeRows& negative, const SharpenTables& tables) {
    const int32_t* above = negative.Row(y - 1);
    const int32_t* middle = negative.Row(y);
    const int32_t* below = negative.Row(y + 1);
    for (int32_t i = 3; i < (width - 1) * 3; ++i) {
        const int32_t neighbours = above[i - 3] + above[i] + above[i + 3] + middle[i - 3] + middle[i + 3] +
                                   below[i - 3] + below[i] + below[i + 3];
        row[i] = ClampedByte((tables.positive[row[i]] - neighbours + 4) >> 3);
    }
}

}  // namespace

bool SharpenImage(ImageCanvas& canvas, int32_t percent, Host* host) {
    PixelBuffer pixels = canvas.CopyBits(24);
    if (pixels.empty()) return false;
    const int32_t width = pixels.width(), height = pixels.height(), bytes = width * 3;
    // Each value of the four rows takes one 32-bit "pixel".
    PixelBuffer storage = PixelBuffer::Allocate(bytes, 4, 32);
    if (storage.empty()) return false;

    const SharpenTables tables = MakeTables(std::clamp(percent, 1, 100));
    NegativeRows negative(storage, tables);
    ProgressScope progress(ProgressHost(host), height);
    if (height >= 3) negative.Fill(0, pixels.Row(0), bytes), negative.Fill(1, pixels.Row(1), bytes);
    for (int32_t y = 0; y < height; ++y) {
        if (y > 0 && y < height - 1) {
            negative.Fill(y + 1, pixels.Row(y + 1), bytes);
            SharpenRow(pixels.Row(y), width, y, negative, tables);
        }
        progress.Step();
    }
    return StoreEffectResult(canvas, pixels);
}

}  // namespace marbleye
