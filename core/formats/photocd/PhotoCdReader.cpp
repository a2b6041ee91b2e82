#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "formats/photocd/PhotoCd.h"
#include "formats/photocd/PhotoCdLayout.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr const char* kOpenMessage = "Unable to open file!";
constexpr const char* kLoadMessage = "Loaderror occured!";

// The stored picture turned by quarter turns into the canvas, counting
// from the top left of each.
class TurnedCanvas {
public:
    TurnedCanvas(ImageCanvas& canvas, int32_t storedWidth, int32_t storedHeight, int32_t quarterTurns)
        : canvas_(canvas), width_(storedWidth), height_(storedHeight), turns_(quarterTurns) {}

    uint8_t* Pixel(int32_t x, int32_t y) {
        int32_t column = x, row = y;
        switch (turns_) {
            case 1: column = y, row = width_ - 1 - x; break;  // a quarter turn to the left
            case 2: column = width_ - 1 - x, row = height_ - 1 - y; break;
            case 3: column = height_ - 1 - y, row = x; break;  // a quarter turn to the right
            default: break;
        }
        return canvas_.Row(canvas_.height() - 1 - row) + static_cast<size_t>(column) * 3;
    }

private:
    ImageCanvas& canvas_;
    int32_t width_, height_, turns_;
};

uint8_t Channel(double value) { return static_cast<uint8_t>(std::clamp(std::floor(value), 0.0, 255.0)); }

// Decodes the pack's row pairs from the file's position; a pair the file
// does not hold in full ends the decoding, leaving the rest black.
void DecodeRowPairs(InputFile& file, const photocd::Pack& pack, TurnedCanvas& target, LoadContext& context) {
    const size_t width = static_cast<size_t>(pack.width);
    std::vector<uint8_t> pair(photocd::RowPairBytes(pack));
    for (int32_t y = 0; y < pack.height; y += 2) {
        if (!file.ReadExact(pair.data(), pair.size())) return;
        const uint8_t* chroma1 = pair.data() + 2 * width;
        const uint8_t* chroma2 = chroma1 + width / 2;
        for (int32_t half = 0; half < 2; ++half) {
            const uint8_t* luma = pair.data() + half * width;
            for (size_t x = 0; x < width; ++x) {
                const photocd::Rgb rgb = photocd::YccToRgb(luma[x], chroma1[x / 2], chroma2[x / 2]);
                uint8_t* pixel = target.Pixel(static_cast<int32_t>(x), y + half);
                pixel[0] = rgb.blue, pixel[1] = rgb.green, pixel[2] = rgb.red;
            }
            context.RowDone();
        }
    }
}

}  // namespace

namespace photocd {

Pack PackFor(const LoadOptions& options) {
    static constexpr std::array<Pack, 3> kPacks = {Pack{192, 128, kBase16Offset}, Pack{384, 256, kBase4Offset},
                                                   Pack{768, 512, kBaseOffset}};
    if (options.thumbnail) return kPacks[0];
    return kPacks[static_cast<size_t>(std::clamp(options.photoCdSize, 0, 2))];
}

Rgb YccToRgb(uint8_t y, uint8_t c1, uint8_t c2) {
    const double luma = 1.407488 * y;
    const double chroma1 = c1 - 156.0, chroma2 = c2 - 137.0;
    return Rgb{Channel(luma + 1.3230336 * chroma2 + 0.0000256 * chroma1),
               Channel(luma - 0.3954176 * chroma1 - 0.67392 * chroma2),
               Channel(luma + 0.0000256 * chroma2 + 2.0360448 * chroma1)};
}

}  // namespace photocd

Status ReadPhotoCd(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(kOpenMessage);
    uint8_t header[photocd::kHeaderBytes];
    if (!file.ReadExact(header, sizeof header)) return Status::Fail(kLoadMessage);
    const int32_t quarterTurns = header[photocd::kOrientationOffset] & photocd::kOrientationMask;

    // Every pack has a fixed size, so nothing the file declares can make the
    // canvas large; a file that ends before the pack's first row pair holds
    // nothing to show.
    const photocd::Pack pack = photocd::PackFor(context.options);
    if (file.size() < pack.offset + photocd::RowPairBytes(pack) || !file.Seek(pack.offset)) {
        return Status::Fail(kLoadMessage);
    }
    const bool sideways = quarterTurns % 2 == 1;
    CurrentImage& image = context.image;
    image.width = sideways ? pack.height : pack.width;
    image.height = sideways ? pack.width : pack.height;
    image.fileBitDepth = 24;
    image.palette = Palette256{};
    if (!context.canvas.Create(image.width, image.height, 24, 0, image.palette)) return Status::Fail(kLoadMessage);
    TurnedCanvas target(context.canvas, pack.width, pack.height, quarterTurns);
    DecodeRowPairs(file, pack, target, context);
    return Status::Ok();
}

}  // namespace marbleye
