#include "imaging/Effects.h"

#include <algorithm>
#include <array>

#include "imaging/EffectResult.h"

namespace marbleye {

namespace {

struct Block {
    int32_t left, bottom, width, height;
};

std::array<uint32_t, 3> ChannelSums(const PixelBuffer& pixels, const Block& block) {
    std::array<uint32_t, 3> sums{};
    for (int32_t y = block.bottom; y < block.bottom + block.height; ++y) {
        const uint8_t* pixel = pixels.Row(y) + block.left * 3;
        for (int32_t x = 0; x < block.width; ++x, pixel += 3) {
            sums[0] += pixel[0], sums[1] += pixel[1], sums[2] += pixel[2];
        }
    }
    return sums;
}

void FillWithAverage(PixelBuffer& pixels, const Block& block) {
    const std::array<uint32_t, 3> sums = ChannelSums(pixels, block);
    const uint32_t count = static_cast<uint32_t>(block.width) * static_cast<uint32_t>(block.height);
    const uint8_t average[3] = {static_cast<uint8_t>(sums[0] / count), static_cast<uint8_t>(sums[1] / count),
                                static_cast<uint8_t>(sums[2] / count)};
    for (int32_t y = block.bottom; y < block.bottom + block.height; ++y) {
        uint8_t* pixel = pixels.Row(y) + block.left * 3;
        for (int32_t x = 0; x < block.width; ++x, pixel += 3) std::copy_n(average, 3, pixel);
    }
}

}  // namespace

bool PixelizeImage(ImageCanvas& canvas, int32_t pixelWidth, Host* host) {
    PixelBuffer pixels = canvas.CopyBits(24);
    if (pixels.empty()) return false;
    const int32_t side = std::clamp(pixelWidth, 1, 64);
    const int32_t width = pixels.width(), height = pixels.height();
    const int32_t blockRows = static_cast<int32_t>((int64_t{height} + side - 1) / side);
    ProgressScope progress(ProgressHost(host), blockRows);
    for (int32_t bottom = 0; bottom < height; bottom += side) {
        const int32_t blockHeight = std::min(side, height - bottom);
        for (int32_t left = 0; left < width; left += side) {
            FillWithAverage(pixels, Block{left, bottom, std::min(side, width - left), blockHeight});
        }
        progress.Step();
    }
    return StoreEffectResult(canvas, pixels);
}

}  // namespace marbleye
