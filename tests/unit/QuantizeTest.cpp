#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "canvas/ImageCanvas.h"
#include "formats/bmp/Bmp.h"
#include "imaging/ColourReduction.h"
#include "imaging/Quantize.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

// A 24-bit buffer filled with one colour.
PixelBuffer Filled(int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b) {
    PixelBuffer pixels = PixelBuffer::Allocate(width, height, 24);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = pixels.Row(y) + x * 3;
            p[0] = b, p[1] = g, p[2] = r;
        }
    }
    return pixels;
}

// A photo-like gradient with many colours.
PixelBuffer Photo(int32_t width, int32_t height) {
    PixelBuffer pixels = PixelBuffer::Allocate(width, height, 24);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = pixels.Row(y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 255 / width);
            p[1] = static_cast<uint8_t>(y * 255 / height);
            p[2] = static_cast<uint8_t>((x * 3 + y * 5) % 256);
        }
    }
    return pixels;
}

std::array<int, 3> Entry(const Palette256& palette, int i) { return {palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]}; }

const std::array<std::array<int, 3>, 8> kCornerColours = {{
    {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {255, 255, 255},
}};

TEST(MedianCut, ASingleColourGivesCornersItsCellCentreAndEmptyBoxes) {
    Palette256 palette{};
    const PixelBuffer indices =
        QuantizeToPalette(Filled(7, 3, 100, 150, 200), PaletteMethod::kMedianCut, DitherType::kNone, palette);
    ASSERT_FALSE(indices.empty());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Entry(palette, i), kCornerColours[i]) << i;
    const std::array<int, 3> centre{12 * 255 / 31, 18 * 255 / 31, 25 * 255 / 31};
    int centres = 0, empties = 0;
    for (int i = 8; i < 256; ++i) {
        centres += Entry(palette, i) == centre;
        empties += Entry(palette, i) == std::array<int, 3>{123, 123, 123};
    }
    EXPECT_EQ(centres, 1);
    EXPECT_EQ(empties, 247);
    EXPECT_EQ(Entry(palette, indices.Row(2)[6]), centre);
}

TEST(MedianCut, WhiteAndBlackImagesLeaveEveryOtherEntryEmpty) {
    for (uint8_t v : {uint8_t{0}, uint8_t{255}}) {
        Palette256 palette{};
        const PixelBuffer indices = QuantizeToPalette(Filled(5, 5, v, v, v), PaletteMethod::kMedianCut,
                                                      DitherType::kNone, palette);
        for (int i = 8; i < 256; ++i) ASSERT_EQ(Entry(palette, i), (std::array<int, 3>{123, 123, 123})) << i;
        EXPECT_EQ(indices.Row(0)[0], v == 0 ? 0 : 7) << "the corner entry by nearest search";
    }
}

TEST(PopularitySort, TheMostFrequentCellsFollowTheCorners) {
    PixelBuffer pixels = Filled(16, 1, 40, 80, 120);
    for (int x = 10; x < 15; ++x) pixels.Row(0)[x * 3 + 2] = 200;  // five pixels of another red
    pixels.Row(0)[15 * 3] = 16;                                    // one pixel of a third colour
    Palette256 palette{};
    QuantizeToPalette(pixels, PaletteMethod::kPopularitySort, DitherType::kNone, palette);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Entry(palette, i), kCornerColours[i]);
    EXPECT_EQ(Entry(palette, 8), (std::array<int, 3>{5 * 255 / 31, 10 * 255 / 31, 15 * 255 / 31}));
    EXPECT_EQ(Entry(palette, 9), (std::array<int, 3>{25 * 255 / 31, 10 * 255 / 31, 15 * 255 / 31}));
    EXPECT_EQ(Entry(palette, 10), (std::array<int, 3>{5 * 255 / 31, 10 * 255 / 31, 2 * 255 / 31}));
    EXPECT_EQ(Entry(palette, 11), (std::array<int, 3>{0, 0, 0})) << "slots left over are black";
}

TEST(DefaultPalette, Table) {
    const Palette256& p = DefaultPalette256();
    EXPECT_EQ(Entry(p, 1), (std::array<int, 3>{191, 0, 0}));
    EXPECT_EQ(Entry(p, 9), (std::array<int, 3>{166, 202, 240}));
    EXPECT_EQ(Entry(p, 16), (std::array<int, 3>{0, 81, 0}));
    EXPECT_EQ(Entry(p, 17), (std::array<int, 3>{81, 81, 0}));
    EXPECT_EQ(Entry(p, 224), (std::array<int, 3>{217, 255, 255}));
    EXPECT_EQ(Entry(p, 225), (std::array<int, 3>{196, 196, 196}));
    EXPECT_EQ(Entry(p, 244), (std::array<int, 3>{253, 253, 253}));
    EXPECT_EQ(Entry(p, 245), (std::array<int, 3>{155, 207, 207}));
    EXPECT_EQ(Entry(p, 255), (std::array<int, 3>{255, 255, 255}));
}

TEST(Dither, JitterLeavesValuesFrom248Untouched) {
    Palette256 plain{}, jittered{};
    const PixelBuffer a = QuantizeToPalette(Filled(9, 9, 250, 252, 255), PaletteMethod::kDefaultPalette,
                                            DitherType::kNone, plain);
    const PixelBuffer b = QuantizeToPalette(Filled(9, 9, 250, 252, 255), PaletteMethod::kDefaultPalette,
                                            DitherType::kJitter, jittered);
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.byteCount()), 0);
}

TEST(Dither, OrderedDitherAtFullWhiteIsClamped) {
    Palette256 palette{};
    const PixelBuffer indices =
        QuantizeToPalette(Filled(4, 4, 255, 255, 255), PaletteMethod::kDefaultPalette, DitherType::kOrdered, palette);
    // Offsets from -6 up keep the colour in white's 5-bit cell, which answers
    // with white; -14, -10 and -8 (twice -7, -5, -4) leave it.
    int white = 0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) white += indices.Row(y)[x] == 255;
    }
    EXPECT_EQ(white, 12);
}

TEST(Dither, SerpentineWorksOnAOnePixelWideImage) {
    Palette256 palette{};
    const PixelBuffer indices =
        QuantizeToPalette(Photo(1, 9), PaletteMethod::kMedianCut, DitherType::kSerpentine, palette);
    ASSERT_FALSE(indices.empty());
    EXPECT_EQ(indices.width(), 1);
}

TEST(Quantize, EveryMethodAndDitherRepeatsExactly) {
    const PixelBuffer photo = Photo(37, 23);
    for (int method = 0; method <= 5; ++method) {
        for (int dither = 0; dither <= 3; ++dither) {
            Palette256 first{}, second{};
            const PixelBuffer a = QuantizeToPalette(photo, static_cast<PaletteMethod>(method),
                                                    static_cast<DitherType>(dither), first);
            const PixelBuffer b = QuantizeToPalette(photo, static_cast<PaletteMethod>(method),
                                                    static_cast<DitherType>(dither), second);
            ASSERT_FALSE(a.empty());
            EXPECT_EQ(first, second) << method << "/" << dither;
            EXPECT_EQ(std::memcmp(a.data(), b.data(), a.byteCount()), 0) << method << "/" << dither;
        }
    }
}

TEST(Quantize, NeuralPalettesFollowThePicture) {
    const PixelBuffer photo = Photo(64, 64);
    Palette256 palette{};
    const PixelBuffer indices = QuantizeToPalette(photo, PaletteMethod::kNeuralBest, DitherType::kNone, palette);
    ASSERT_FALSE(indices.empty());
    // Pixels land near their colours: the mean channel error stays small.
    int64_t error = 0;
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            const uint8_t* p = photo.Row(y) + x * 3;
            const auto e = Entry(palette, indices.Row(y)[x]);
            error += std::abs(e[0] - p[2]) + std::abs(e[1] - p[1]) + std::abs(e[2] - p[0]);
        }
    }
    EXPECT_LT(error / (64 * 64 * 3), 12);
}

TEST(SixteenColours, OddWidthsAndTheBayerThreshold) {
    PixelBuffer white = Filled(3, 2, 255, 255, 255);
    Palette256 palette{};
    const PixelBuffer out = ReduceTo16Colours(white.data(), 24, PaletteBgr{}, 3, 2, palette);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.Row(0)[0], 0x77);
    EXPECT_EQ(out.Row(0)[1], 0x70) << "the last pixel in a high nibble, a zero low nibble";
    EXPECT_EQ(Entry(palette, 3), (std::array<int, 3>{255, 255, 0}));
    EXPECT_EQ(Entry(palette, 6), (std::array<int, 3>{0, 255, 255}));

    // Red 1 beats only the threshold 0 of Bayer position (0, 0) of the last stored row.
    PixelBuffer dark = Filled(2, 2, 1, 0, 0);
    const PixelBuffer dim = ReduceTo16Colours(dark.data(), 24, PaletteBgr{}, 2, 2, palette);
    EXPECT_EQ(dim.Row(1)[0], 0x10);
    EXPECT_EQ(dim.Row(0)[0], 0x00);
}

TEST(HighColour, OrderedAndFloydSteinberg) {
    PixelBuffer ordered = Filled(3, 1, 1, 1, 1);
    DitherToHighColour(ordered, HighColourDither::kOrdered);
    EXPECT_EQ(ordered.Row(0)[0], 9) << "blue 1 passes the threshold 0 at (0, 0)";
    EXPECT_EQ(ordered.Row(0)[1], 5) << "green 1 passes 1 >> 2 = 0 and moves by 4";
    EXPECT_EQ(ordered.Row(0)[3], 9) << "x = 1 still uses column (3 x 1) / 4 = 0";
    EXPECT_EQ(ordered.Row(0)[6], 1) << "at x = 2 the thresholds are 15 >> 1 and 15 >> 2";
    PixelBuffer diffused = Filled(3, 1, 0, 0, 0);
    DitherToHighColour(diffused, HighColourDither::kFloydSteinberg);
    EXPECT_EQ(diffused.Row(0)[0], 4) << "blue raised by 4 so the display's truncation rounds";
    EXPECT_EQ(diffused.Row(0)[1], 2) << "green raised by 2";
    PixelBuffer none = Filled(2, 1, 1, 2, 3);
    DitherToHighColour(none, HighColourDither::kNone);
    EXPECT_EQ(none.Row(0)[0], 3);
}

TEST(ColourReduction, DisplayAdaptationOnlyForDeeperPictures) {
    ImageCanvas canvas;
    CurrentImage image;
    image.fileBitDepth = 24;
    ASSERT_TRUE(canvas.Create(8, 8, 24, 90, Palette256{}));
    AdaptToDisplayDepth(canvas, image, 24, 32, DisplayReduction{});
    EXPECT_EQ(canvas.bitsPerPixel(), 24);
    AdaptToDisplayDepth(canvas, image, 24, 8, DisplayReduction{});
    EXPECT_EQ(canvas.bitsPerPixel(), 8);
    EXPECT_EQ(image.fileBitDepth, 24) << "the depth shown stays the file's";
    ASSERT_TRUE(canvas.Create(8, 8, 24, 90, Palette256{}));
    AdaptToDisplayDepth(canvas, image, 24, 4, DisplayReduction{});
    EXPECT_EQ(canvas.bitsPerPixel(), 4);
}

TEST(ColourReduction, APhotoWrittenAt8BitsGetsTheMedianCutPalette) {
    test::TempFolder folder;
    const PixelBuffer photo = Photo(50, 40);
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.CreateFromBits(50, 40, 24, photo.data(), Palette256{}));
    ASSERT_TRUE(WriteBmp(folder.File("photo.bmp"), canvas, 8, QuietHost()).ok());
    const std::string bytes = test::ReadFileBytes(folder.File("photo.bmp"));
    Palette256 expected{};
    QuantizeToPalette(photo, PaletteMethod::kMedianCut, DitherType::kNone, expected);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(static_cast<uint8_t>(bytes[54 + i * 4 + 2]), expected[i * 3]) << i;
        ASSERT_EQ(static_cast<uint8_t>(bytes[54 + i * 4]), expected[i * 3 + 2]) << i;
    }
}

}  // namespace
}  // namespace marbleye
