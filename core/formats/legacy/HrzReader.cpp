#include <algorithm>
#include <vector>

#include "formats/legacy/Legacy.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

// A slow-scan television frame: always 256 x 240 pixels of red, green and
// blue with 6 bits each, rows from the top and no header.
constexpr int32_t kWidth = 256;
constexpr int32_t kHeight = 240;
constexpr size_t kRowBytes = kWidth * 3;

// Components are 6 bits; a byte above 63 (full intensity written as 64 by
// some producers) shows at full intensity instead of wrapping round to black.
uint8_t Component(uint8_t sixBits) { return static_cast<uint8_t>(std::min(sixBits << 2, 255)); }

}  // namespace

Status ReadHrz(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open HRZ File!");
    CurrentImage& image = context.image;
    image.palette = Palette256{};
    image.width = kWidth;
    image.height = kHeight;
    image.fileBitDepth = 24;
    if (!context.canvas.Create(kWidth, kHeight, 24, 0, image.palette)) return Status::Fail("Couldn't open HRZ File!");

    // A short file shows the pixels it holds; the rest stays black.
    std::vector<uint8_t> row(kRowBytes);
    for (int32_t y = 0; y < kHeight; ++y) {
        const size_t pixels = file.Read(row.data(), row.size()) / 3;
        uint8_t* target = context.canvas.Row(kHeight - 1 - y);
        for (size_t x = 0; x < pixels; ++x) {
            const uint8_t* rgb = row.data() + x * 3;
            target[x * 3] = Component(rgb[2]);
            target[x * 3 + 1] = Component(rgb[1]);
            target[x * 3 + 2] = Component(rgb[0]);
        }
        context.RowDone();
        if (pixels < static_cast<size_t>(kWidth)) break;
    }
    return Status::Ok();
}

}  // namespace marbleye
