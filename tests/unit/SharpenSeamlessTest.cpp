#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "imaging/Effects.h"
#include "unit/EffectPictures.h"

namespace marbleye {
namespace {

using test::Applied;
using test::Picture;
using test::RandomPicture;

int32_t FloorDiv(int32_t n, int32_t d) { return n / d - (n % d != 0 && n < 0 ? 1 : 0); }

// Sharpening pixel by pixel from its definition, the neighbours' negative
// values computed again for every pixel.
Picture SharpenedDirectly(const Picture& p, int32_t percent) {
    const int32_t f = 100 - percent > 0 ? 100 - percent : 1;
    const auto positive = [f](int32_t v) { return 800 * v / f; };
    const auto negative = [&](int32_t v) { return FloorDiv(positive(v) - 8 * v + 4, 8); };
    Picture out = p;
    for (int32_t y = 1; y + 1 < p.height; ++y) {
        for (int32_t x = 1; x + 1 < p.width; ++x) {
            for (int32_t c = 0; c < 3; ++c) {
                int32_t neighbours = 0;
                for (int32_t dy = -1; dy <= 1; ++dy) {
                    for (int32_t dx = -1; dx <= 1; ++dx) {
                        if (dx || dy) neighbours += negative(p.At(x + dx, y + dy, c));
                    }
                }
                const int32_t value = FloorDiv(positive(p.At(x, y, c)) - neighbours + 4, 8);
                out.At(x, y, c) = static_cast<uint8_t>(value > 254 ? 255 : value < 0 ? 0 : value);
            }
        }
    }
    return out;
}

Picture Sharpened(const Picture& picture, int32_t percent) {
    return Applied(picture, [percent](ImageCanvas& c) { return SharpenImage(c, percent, nullptr); });
}

TEST(SharpenImage, FollowsItsTablesAndKeepsTheEdgeRowsAndColumns) {
    const int32_t sizes[][2] = {{9, 7}, {3, 3}, {4, 12}, {2, 5}, {6, 2}, {1, 1}};
    for (const auto& size : sizes) {
        const Picture picture = RandomPicture(size[0], size[1], size[0] * 7 + size[1]);
        for (int32_t percent : {1, 37, 99, 100}) {
            const Picture out = Sharpened(picture, percent);
            EXPECT_EQ(out, SharpenedDirectly(picture, percent)) << size[0] << "x" << size[1] << " at " << percent;
            for (int32_t y = 0; y < picture.height; ++y) {
                for (int32_t x = 0; x < picture.width; ++x) {
                    if (y > 0 && y + 1 < picture.height && x > 0 && x + 1 < picture.width) continue;
                    for (int32_t c = 0; c < 3; ++c) ASSERT_EQ(out.At(x, y, c), picture.At(x, y, c)) << x << "," << y;
                }
            }
        }
    }
}

TEST(SharpenImage, AtOnePercentMovesNoValueByMoreThanThree) {
    // With f = 99, p(v) lies between 8v and 8v + 21 and n(v) between 0 and 3.
    const Picture picture = RandomPicture(40, 30, 2);
    const Picture out = Sharpened(picture, 1);
    int32_t changed = 0;
    for (size_t i = 0; i < picture.bytes.size(); ++i) {
        ASSERT_LE(std::abs(out.bytes[i] - picture.bytes[i]), 3) << i;
        changed += out.bytes[i] != picture.bytes[i];
    }
    EXPECT_GT(changed, 0);
}

TEST(SharpenImage, AtFullStrengthDividesByOne) {
    // With f = 1: p(v) = 800 v and n(v) = (792 v + 4) >> 3 = 99 v, so a centre
    // v among neighbours summing to s becomes (800 v - 99 s + 4) >> 3. Blue
    // 101 among 100s: 1604 >> 3 = 200; green 100 among 101s: 12 >> 3 = 1; red
    // 120 among neighbours summing to 968: 172 >> 3 = 21.
    Picture picture = test::UniformPicture(3, 3, 0);
    const uint8_t red[8] = {121, 121, 121, 121, 121, 121, 122, 120};
    for (int32_t i = 0, y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            if (x == 1 && y == 1) continue;
            picture.At(x, y, 0) = 100, picture.At(x, y, 1) = 101, picture.At(x, y, 2) = red[i++];
        }
    }
    picture.At(1, 1, 0) = 101, picture.At(1, 1, 1) = 100, picture.At(1, 1, 2) = 120;
    Picture out = Sharpened(picture, 100);
    EXPECT_EQ(out.At(1, 1, 0), 200);
    EXPECT_EQ(out.At(1, 1, 1), 1);
    EXPECT_EQ(out.At(1, 1, 2), 21);
    picture.At(1, 1, 0) = 90;
    EXPECT_EQ(Sharpened(picture, 100).At(1, 1, 0), 0) << "72000 - 79200 is below 0";
    picture.At(1, 1, 0) = 103;
    EXPECT_EQ(Sharpened(picture, 100).At(1, 1, 0), 255) << "3204 >> 3 is above 255";
}

// The weighted value of one source channel value, step by step as defined.
int64_t SeamlessWeight(const Picture& p, int32_t x, int32_t y, int64_t v) {
    const int64_t hw = p.width / 2, hh = p.height / 2, cw = p.width - hw, ch = p.height - hh;
    const int64_t a = hw - 1, b = hh - 1;
    if ((p.width % 2 && x == hw) || (p.height % 2 && y == hh)) return v;
    const int64_t dx = x < hw ? hw - 1 - x : x - cw;
    const int64_t dy = y < hh ? hh - 1 - y : y - ch;
    if (b * dx < a * dy || (b * dx == a * dy && dx % 2 == 1)) {
        return dx == 0 ? v : v - (v * b * dx) / (a * b - a * dy + b * dx);
    }
    return dx == a ? 0 : (v * b * (a - dx)) / (a * dy + a * b - b * dx);
}

// The pixel that the shift by half the size brings onto i, or -1.
int32_t Partner(int32_t i, int32_t size) {
    const int32_t half = size / 2, rest = size - half;
    return i < half ? i + rest : i >= rest ? i - rest : -1;
}

// Each output pixel gathered from its two sources, summed in a byte.
Picture SeamlessDirectly(const Picture& p) {
    Picture out = p;
    for (int32_t y = 0; y < p.height; ++y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const int32_t px = Partner(x, p.width), py = Partner(y, p.height);
            for (int32_t c = 0; c < 3; ++c) {
                int64_t sum = SeamlessWeight(p, x, y, p.At(x, y, c));
                if (px >= 0 && py >= 0) sum += SeamlessWeight(p, px, py, p.At(px, py, c));
                out.At(x, y, c) = static_cast<uint8_t>(std::min<int64_t>(sum, 255));
            }
        }
    }
    return out;
}

Picture Seamless(const Picture& picture) {
    return Applied(picture, [](ImageCanvas& c) { return SeamlessImage(c, nullptr); });
}

TEST(SeamlessImage, AddsEachPixelToItsPartnerWeightedByItsDistanceFromTheMiddle) {
    const int32_t sizes[][2] = {{8, 6}, {9, 7}, {6, 6}, {5, 4}, {10, 5}, {4, 4}, {31, 18}};
    for (const auto& size : sizes) {
        const Picture picture = RandomPicture(size[0], size[1], size[0] * 13 + size[1]);
        EXPECT_EQ(Seamless(picture), SeamlessDirectly(picture)) << size[0] << "x" << size[1];
    }
}

TEST(SeamlessImage, KeepsTheMiddleColumnAndRowOfAnOddSize) {
    const Picture picture = RandomPicture(9, 7, 3);
    const Picture out = Seamless(picture);
    for (int32_t c = 0; c < 3; ++c) {
        for (int32_t y = 0; y < 7; ++y) EXPECT_EQ(out.At(4, y, c), picture.At(4, y, c)) << y;
        for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(out.At(x, 3, c), picture.At(x, 3, c)) << x;
    }
    EXPECT_NE(out, picture);
}

TEST(SeamlessImage, LeavesPicturesUnderFourPixelsAsTheyAre) {
    for (const auto& size : {std::pair{3, 10}, std::pair{10, 3}, std::pair{3, 3}, std::pair{1, 1}}) {
        ImageCanvas canvas;
        ASSERT_TRUE(canvas.Create(size.first, size.second, 8, 0x51, GrayRamp()));
        ASSERT_TRUE(SeamlessImage(canvas, nullptr));
        EXPECT_EQ(canvas.bitsPerPixel(), 8);
        EXPECT_TRUE(std::all_of(canvas.bits(), canvas.bits() + canvas.byteCount(), [](uint8_t b) { return b == 0x51; }));
    }
}

TEST(SeamlessImage, ItsEdgesAreTheSourcesMiddleSoThePictureTiles) {
    // The weight is 0 at the picture's edges and 1 beside its middle row and
    // column. So the left column is the source column after the middle and
    // the right column the one before it, the rows shifted by half the
    // height: side by side, the edges meet as the source's middle does. The
    // top and bottom rows are likewise the rows beside the middle, except in
    // the columns beside the middle column, where dx = 0 keeps the pixel's
    // own value (the weight's first formula wins there).
    for (const auto& size : {std::pair{12, 10}, std::pair{13, 11}}) {
        const int32_t width = size.first, height = size.second;
        const Picture picture = RandomPicture(width, height, width);
        const Picture out = Seamless(picture);
        const int32_t hw = width / 2, cw = width - hw, hh = height / 2, ch = height - hh;
        for (int32_t y = 0; y < height; ++y) {
            const int32_t from = Partner(y, height);
            if (from < 0) continue;  // the middle row stays
            EXPECT_EQ(out.At(0, y, 0), picture.At(cw, from, 0)) << y;
            EXPECT_EQ(out.At(width - 1, y, 0), picture.At(hw - 1, from, 0)) << y;
        }
        for (int32_t x = 0; x < width; ++x) {
            const int32_t from = Partner(x, width);
            const bool own = from < 0 || x == hw - 1 || x == cw;
            EXPECT_EQ(out.At(x, 0, 2), own ? picture.At(x, 0, 2) : picture.At(from, ch, 2)) << x;
            EXPECT_EQ(out.At(x, height - 1, 2), own ? picture.At(x, height - 1, 2) : picture.At(from, hh - 1, 2))
                << x;
        }
    }
}

TEST(SeamlessImage, OnTheDiagonalOfAnEvenSpanTwoRoundedUpWeightsStopAtWhite) {
    // 6 x 6: A = B = 2. At dx = dy = 1 (columns and rows 1 and 4) the pixel
    // and its partner both take 255 - 510 / 4 = 128; 128 + 128 would wrap to
    // 0 and stays 255, as every other pair of weights adds up to 255.
    const Picture out = Seamless(test::UniformPicture(6, 6, 255));
    for (int32_t y = 0; y < 6; ++y) {
        for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(out.At(x, y, 1), 255) << x << "," << y;
    }
    const Picture odd = Seamless(test::UniformPicture(8, 8, 255));
    EXPECT_TRUE(std::all_of(odd.bytes.begin(), odd.bytes.end(), [](uint8_t b) { return b == 255; }))
        << "A = 3: the diagonal's pairs differ in the parity of dx";
}

}  // namespace
}  // namespace marbleye
