#include "imaging/Effects.h"

#include <algorithm>

#include "imaging/EffectResult.h"

namespace marbleye {

namespace {

constexpr int32_t kBorder = 50;
constexpr float kStartFactor = 0.5f;
constexpr float kFactorStep = 0.05f;
// The darkening bands raise their factor after each of their last eleven
// rows or columns.
constexpr int32_t kFirstRising = kBorder - 11;

// The working copy addressed as the picture is seen: row 0 at the top.
class ShownPixels {
public:
    explicit ShownPixels(PixelBuffer& pixels) : pixels_(pixels) {}
    int32_t width() const { return pixels_.width(); }
    int32_t height() const { return pixels_.height(); }
    uint8_t* At(int32_t x, int32_t y) { return pixels_.Row(pixels_.height() - 1 - y) + static_cast<size_t>(x) * 3; }

private:
    PixelBuffer& pixels_;
};

// Each channel c becomes the integer part of c x keep + add, in single
// precision: lightening by a keeps 1 - a and adds 255 a, darkening by b
// keeps 1 - b. Once the lightening bands' factor has stepped down past 0
// (to -3.7e-8 in single precision) it counts as 0: used as it is, the sum
// would come out just below c and dim most of the band by one level.
struct Blend {
    float keep, add;
    void Apply(uint8_t* pixel) const {
        for (int32_t c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>(static_cast<int32_t>(pixel[c] * keep + add));
    }
};

Blend Lightening(float a) {
    a = std::max(a, 0.0f);
    return {1.0f - a, 255.0f * a};
}
Blend Darkening(float b) { return {1.0f - b, 0.0f}; }

// Ranges include both ends, clipped to the picture.
void BlendRow(ShownPixels& pixels, int32_t y, int32_t first, int32_t last, Blend blend) {
    if (y < 0 || y >= pixels.height()) return;
    for (int32_t x = std::max(first, 0); x <= std::min(last, pixels.width() - 1); ++x) blend.Apply(pixels.At(x, y));
}

void BlendColumn(ShownPixels& pixels, int32_t x, int32_t first, int32_t last, Blend blend) {
    if (x < 0 || x >= pixels.width()) return;
    for (int32_t y = std::max(first, 0); y <= std::min(last, pixels.height() - 1); ++y) blend.Apply(pixels.At(x, y));
}

template <typename Paint>
float FallingBand(float factor, ProgressScope& progress, Paint paint) {
    for (int32_t i = 0; i < kBorder; ++i) {
        paint(i, factor);
        if (factor > 0) factor -= kFactorStep;
        progress.Step();
    }
    return factor;
}

template <typename Paint>
float RisingBand(float factor, ProgressScope& progress, Paint paint) {
    for (int32_t k = 0; k < kBorder; ++k) {
        paint(k, factor);
        if (k >= kFirstRising && factor < 1) factor += kFactorStep;
        progress.Step();
    }
    return factor;
}

}  // namespace

// With both ends of every range included, the four bands share out the
// frame of a picture of 100 pixels or more: each frame pixel lies in exactly
// one band, the top and bottom bands cover the same columns at the same
// distance from their edge, and each side band's rows are centred. Row y of
// the top band leaves columns 0 to y to the left band and the last y columns
// to the right band.
bool ButtonizeImage(ImageCanvas& canvas, Host* host) {
    PixelBuffer copy = canvas.CopyBits(24);
    if (copy.empty()) return false;
    ShownPixels pixels(copy);
    const int32_t width = pixels.width(), height = pixels.height();
    ProgressScope progress(ProgressHost(host), 4 * kBorder);
    float factor = FallingBand(kStartFactor, progress, [&](int32_t i, float a) {
        BlendRow(pixels, i, i + 1, width - i - 1, Lightening(a));
    });
    factor = RisingBand(factor, progress, [&](int32_t k, float b) {
        BlendRow(pixels, height - kBorder + k, kBorder - k, width - kBorder + k, Darkening(b));
    });
    factor = FallingBand(factor, progress, [&](int32_t j, float a) {
        BlendColumn(pixels, j, j, height - j - 1, Lightening(a));
    });
    RisingBand(factor, progress, [&](int32_t k, float b) {
        BlendColumn(pixels, width - kBorder + k, kBorder - k, height - kBorder - 1 + k, Darkening(b));
    });
    return StoreEffectResult(canvas, copy);
}

}  // namespace marbleye
