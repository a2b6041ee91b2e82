#include <gtest/gtest.h>

#include <array>

#include "imaging/Effects.h"
#include "unit/EffectPictures.h"

namespace marbleye {
namespace {

using test::Applied;
using test::Picture;
using test::RandomPicture;

// The factor of each row or column of the four bands, in single precision:
// the top band falls from 0.5 by 0.05 while positive, the bottom band rises
// by 0.05 after each of its last eleven rows while below 1, and the left and
// right bands go on alike.
struct BevelFactors {
    std::array<float, 50> top, bottom, left, right;
};

BevelFactors Factors() {
    BevelFactors f{};
    float factor = 0.5f;
    for (int32_t i = 0; i < 50; ++i) {
        f.top[i] = factor;
        if (factor > 0) factor -= 0.05f;
    }
    for (int32_t k = 0; k < 50; ++k) {
        f.bottom[k] = factor;
        if (k >= 39 && factor < 1) factor += 0.05f;
    }
    for (int32_t j = 0; j < 50; ++j) {
        f.left[j] = factor;
        if (factor > 0) factor -= 0.05f;
    }
    for (int32_t k = 0; k < 50; ++k) {
        f.right[k] = factor;
        if (k >= 39 && factor < 1) factor += 0.05f;
    }
    return f;
}

// A factor stepped down past 0 lightens by nothing.
uint8_t Lightened(uint8_t c, float a) {
    if (a < 0) return c;
    return static_cast<uint8_t>(static_cast<int32_t>(c * (1 - a) + 255 * a));
}
uint8_t Darkened(uint8_t c, float b) { return static_cast<uint8_t>(static_cast<int32_t>(c * (1 - b))); }

// The channel bytes of the pixel at (x, y) as seen, from the top left.
uint8_t* Seen(Picture& p, int32_t x, int32_t y) { return &p.At(x, p.height - 1 - y, 0); }

// The four bands one after the other, straight from their ranges.
Picture BevelledBand(Picture p) {
    const BevelFactors f = Factors();
    const int32_t w = p.width, h = p.height;
    const auto inside = [&](int32_t x, int32_t y) { return x >= 0 && x < w && y >= 0 && y < h; };
    const auto lighten = [&](int32_t x, int32_t y, float a) {
        if (inside(x, y)) for (int32_t c = 0; c < 3; ++c) Seen(p, x, y)[c] = Lightened(Seen(p, x, y)[c], a);
    };
    const auto darken = [&](int32_t x, int32_t y, float b) {
        if (inside(x, y)) for (int32_t c = 0; c < 3; ++c) Seen(p, x, y)[c] = Darkened(Seen(p, x, y)[c], b);
    };
    for (int32_t i = 0; i < 50; ++i) {
        for (int32_t x = i + 1; x <= w - i - 1; ++x) lighten(x, i, f.top[i]);
    }
    for (int32_t k = 0; k < 50; ++k) {
        for (int32_t x = 50 - k; x <= w - 50 + k; ++x) darken(x, h - 50 + k, f.bottom[k]);
    }
    for (int32_t j = 0; j < 50; ++j) {
        for (int32_t y = j; y <= h - j - 1; ++y) lighten(j, y, f.left[j]);
    }
    for (int32_t k = 0; k < 50; ++k) {
        for (int32_t y = 50 - k; y <= h - 51 + k; ++y) darken(w - 50 + k, y, f.right[k]);
    }
    return p;
}

Picture Buttonized(const Picture& picture) {
    return Applied(picture, [](ImageCanvas& c) { return ButtonizeImage(c, nullptr); });
}

TEST(ButtonizeImage, FactorsFallAndRiseAsTheBandsGo) {
    const BevelFactors f = Factors();
    EXPECT_FLOAT_EQ(f.top[0], 0.5f);
    EXPECT_NEAR(f.top[9], 0.05f, 1e-6);
    EXPECT_NEAR(f.top[10], 0.0f, 1e-6);
    EXPECT_NEAR(f.bottom[39], 0.0f, 1e-6);
    EXPECT_NEAR(f.bottom[40], 0.05f, 1e-6);
    EXPECT_NEAR(f.bottom[49], 0.5f, 1e-6);
    EXPECT_NEAR(f.left[0], 0.55f, 1e-6);
    EXPECT_NEAR(f.left[10], 0.05f, 1e-6);
    EXPECT_NEAR(f.right[49], 0.5f, 1e-6);
}

TEST(ButtonizeImage, LargePicturesGetEachFramePixelFromExactlyOneBand) {
    // With both ends of the ranges included, the frame parts along the corner
    // diagonals: a pixel belongs to the band of the edge it is nearest,
    // the left band taking its ties with the top and bottom bands, and those
    // taking theirs with the right band. The middle stays.
    const BevelFactors f = Factors();
    for (const auto& size : {std::pair{200, 200}, std::pair{131, 104}}) {
        const int32_t w = size.first, h = size.second;
        const Picture picture = RandomPicture(w, h, 17);
        Picture expected = picture;
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const int32_t top = y, bottom = h - 1 - y, left = x, right = w - 1 - x;
                uint8_t* pixel = Seen(expected, x, y);
                for (int32_t c = 0; c < 3; ++c) {
                    if (left < 50 && left <= top && left <= bottom) {
                        pixel[c] = Lightened(pixel[c], f.left[left]);
                    } else if (right < 50 && right < top && right < bottom) {
                        pixel[c] = Darkened(pixel[c], f.right[49 - right]);
                    } else if (top < 50 && top < left && top <= right) {
                        pixel[c] = Lightened(pixel[c], f.top[top]);
                    } else if (bottom < 50 && bottom < left && bottom <= right) {
                        pixel[c] = Darkened(pixel[c], f.bottom[49 - bottom]);
                    }
                }
            }
        }
        const Picture out = Buttonized(picture);
        EXPECT_EQ(out, expected) << w << "x" << h;
        EXPECT_EQ(out, BevelledBand(picture)) << w << "x" << h;
    }
}

TEST(ButtonizeImage, LightensTheTopAndLeftDarkensTheBottomAndRightAndKeepsTheMiddle) {
    Picture out = Buttonized(test::UniformPicture(200, 200, 200));
    const auto seen = [&](int32_t x, int32_t y) { return Seen(out, x, y)[1]; };
    EXPECT_EQ(seen(100, 0), 227) << "200 x 0.5 + 127.5";
    EXPECT_EQ(seen(0, 100), 230) << "200 x 0.45 + 255 x 0.55";
    EXPECT_EQ(seen(100, 199), 100);
    EXPECT_EQ(seen(199, 100), 100);
    // Beyond the tenth row the factor has stepped past 0 (-3.7e-8): it
    // counts as 0, so the band leaves 200 as it is, as the darkening does.
    EXPECT_EQ(seen(100, 20), 200);
    EXPECT_EQ(seen(20, 100), 200);
    EXPECT_EQ(seen(100, 170), 200);
    EXPECT_EQ(seen(170, 100), 200);
    for (int32_t y = 50; y < 150; ++y) {
        for (int32_t x = 50; x < 150; ++x) ASSERT_EQ(seen(x, y), 200) << x << "," << y;
    }
}

TEST(ButtonizeImage, SmallPicturesTakeTheOverlappingBandsInTurn) {
    const BevelFactors f = Factors();
    for (const auto& size : {std::pair{30, 20}, std::pair{1, 1}, std::pair{99, 3}, std::pair{2, 77}}) {
        const Picture picture = RandomPicture(size.first, size.second, 23);
        EXPECT_EQ(Buttonized(picture), BevelledBand(picture)) << size.first << "x" << size.second;
    }
    // In 30 x 20 each corner lies in one band: the top left and bottom left
    // in the left band's first column, the top right in the top band's first
    // row, the bottom right in the bottom band's last row.
    Picture picture = RandomPicture(30, 20, 29);
    Picture out = Buttonized(picture);
    for (int32_t c = 0; c < 3; ++c) {
        EXPECT_EQ(Seen(out, 0, 0)[c], Lightened(Seen(picture, 0, 0)[c], f.left[0]));
        EXPECT_EQ(Seen(out, 0, 19)[c], Lightened(Seen(picture, 0, 19)[c], f.left[0]));
        EXPECT_EQ(Seen(out, 29, 0)[c], Lightened(Seen(picture, 29, 0)[c], f.top[0]));
        EXPECT_EQ(Seen(out, 29, 19)[c], Darkened(Seen(picture, 29, 19)[c], f.bottom[49]));
    }
}

}  // namespace
}  // namespace marbleye
