#include <gtest/gtest.h>

#include <cstring>

#include "canvas/ImageCanvas.h"

namespace marbleye {
namespace {

Palette256 TwoColourPalette() {
    Palette256 palette{};
    palette[0] = 10, palette[1] = 20, palette[2] = 30;    // entry 0: red 10, green 20, blue 30
    palette[3] = 200, palette[4] = 100, palette[5] = 50;  // entry 1
    return palette;
}

TEST(Canvas, StrideIsPaddedToFourBytes) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(1, 1, 1, 0, Palette256{}));
    EXPECT_EQ(canvas.stride(), 4);
    ASSERT_TRUE(canvas.Create(3, 2, 24, 0, Palette256{}));
    EXPECT_EQ(canvas.stride(), 12);
    ASSERT_TRUE(canvas.Create(9, 1, 4, 0, Palette256{}));
    EXPECT_EQ(canvas.stride(), 8);
    ASSERT_TRUE(canvas.Create(5, 1, 32, 0, Palette256{}));
    EXPECT_EQ(canvas.stride(), 20);
    EXPECT_EQ(canvas.byteCount(), 20u);
}

TEST(Canvas, CreateFillsEveryByteAndKeepsThePaletteAsBlueGreenRed) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(7, 3, 8, 0xAB, TwoColourPalette()));
    EXPECT_TRUE(canvas.valid());
    for (size_t i = 0; i < canvas.byteCount(); ++i) ASSERT_EQ(canvas.bits()[i], 0xAB) << i;
    EXPECT_EQ(canvas.palette()[0], 30);
    EXPECT_EQ(canvas.palette()[1], 20);
    EXPECT_EQ(canvas.palette()[2], 10);
    EXPECT_EQ(canvas.palette()[3], 50);
}

TEST(Canvas, RefusesOtherDepthsAndSizesPastTheGate) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(2, 2, 24, 0, Palette256{}));
    EXPECT_FALSE(canvas.Create(2, 2, 16, 0, Palette256{}));
    EXPECT_FALSE(canvas.valid()) << "a failed Create leaves the canvas cleared";
    EXPECT_FALSE(canvas.Create(0, 5, 24, 0, Palette256{}));
    EXPECT_FALSE(canvas.Create(100000, 100000, 24, 0, Palette256{}));
    EXPECT_EQ(canvas.bits(), nullptr);
}

TEST(Canvas, CreateFromBitsCopiesTheLayout) {
    const uint8_t source[2 * 8] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.CreateFromBits(2, 2, 24, source, Palette256{}));
    EXPECT_EQ(std::memcmp(canvas.bits(), source, sizeof source), 0);
}

TEST(Canvas, ClearForgetsEverything) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(4, 4, 8, 1, TwoColourPalette()));
    canvas.Clear();
    EXPECT_FALSE(canvas.valid());
    EXPECT_EQ(canvas.width(), 0);
    EXPECT_EQ(canvas.bits(), nullptr);
    EXPECT_EQ(canvas.palette()[0], 0);
    EXPECT_FALSE(canvas.FlipRows());
    EXPECT_TRUE(canvas.CopyBits(24).empty());
}

TEST(Canvas, FlipRowsOnAnOddHeightKeepsTheMiddleRow) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(1, 3, 8, 0, Palette256{}));
    canvas.Row(0)[0] = 1, canvas.Row(1)[0] = 2, canvas.Row(2)[0] = 3;
    ASSERT_TRUE(canvas.FlipRows());
    EXPECT_EQ(canvas.Row(0)[0], 3);
    EXPECT_EQ(canvas.Row(1)[0], 2);
    EXPECT_EQ(canvas.Row(2)[0], 1);
}

TEST(Canvas, CopyBitsOnlyAt24And32) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(3, 3, 24, 0, Palette256{}));
    EXPECT_TRUE(canvas.CopyBits(16).empty());
    EXPECT_TRUE(canvas.CopyBits(8).empty());
    EXPECT_TRUE(canvas.CopyRow(16, 0).empty());
    EXPECT_TRUE(canvas.CopyRow(24, 3).empty()) << "row outside the picture";
    EXPECT_EQ(canvas.CopyBits(32).stride(), 12);
    EXPECT_EQ(canvas.CopyRow(24, 2).stride(), 12);
}

TEST(Canvas, OneBitRowsExpandThroughThePalette) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(10, 2, 1, 0, TwoColourPalette()));
    canvas.Row(1)[0] = 0b1000'0001;  // pixels 0 and 7 of the top row
    canvas.Row(1)[1] = 0b0100'0000;  // pixel 9
    const PixelBuffer copy = canvas.CopyBits(24);
    ASSERT_FALSE(copy.empty());
    const uint8_t* top = copy.Row(1);
    for (int x = 0; x < 10; ++x) {
        const bool set = x == 0 || x == 7 || x == 9;
        EXPECT_EQ(top[x * 3], set ? 50 : 30) << x;
        EXPECT_EQ(top[x * 3 + 2], set ? 200 : 10) << x;
    }
    EXPECT_EQ(copy.Row(0)[0], 30);
}

TEST(Canvas, FourBitRowsTakeTheHighNibbleFirst) {
    Palette256 palette{};
    for (int i = 0; i < 16; ++i) palette[i * 3] = static_cast<uint8_t>(i * 10);  // red = index x 10
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(3, 1, 4, 0, palette));
    canvas.Row(0)[0] = 0x3A;
    canvas.Row(0)[1] = 0xF0;
    const PixelBuffer row = canvas.CopyRow(32, 0);
    ASSERT_FALSE(row.empty());
    EXPECT_EQ(row.data()[2], 30);
    EXPECT_EQ(row.data()[6], 100);
    EXPECT_EQ(row.data()[10], 150);
    EXPECT_EQ(row.data()[3], 0) << "the fourth byte of an expanded pixel is 0";
}

TEST(Canvas, TwentyFourAndThirtyTwoBitCopies) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(2, 1, 32, 0, Palette256{}));
    const uint8_t pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(canvas.PutRow(32, 0, pixels));
    const PixelBuffer as24 = canvas.CopyBits(24);
    EXPECT_EQ(std::vector<uint8_t>(as24.data(), as24.data() + 6), (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));
    const PixelBuffer as32 = canvas.CopyBits(32);
    EXPECT_EQ(std::vector<uint8_t>(as32.data(), as32.data() + 8), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}))
        << "a 32-bit canvas keeps its fourth byte";

    ASSERT_TRUE(canvas.PutRow(24, 0, as24.data()));
    EXPECT_EQ(canvas.Row(0)[3], 0) << "24-bit pixels written into 32 bits get a fourth byte of 0";
}

TEST(Canvas, PutRowIntoAPalettedCanvasTakesTheNearestEntry) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(3, 1, 8, 0, TwoColourPalette()));
    // blue, green, red: near entry 1, exactly entry 0, and near entry 0
    const uint8_t pixels[12] = {60, 90, 190, 30, 20, 10, 28, 22, 12};
    ASSERT_TRUE(canvas.PutRow(24, 0, pixels));
    EXPECT_EQ(canvas.Row(0)[0], 1);
    EXPECT_EQ(canvas.Row(0)[1], 0);
    EXPECT_EQ(canvas.Row(0)[2], 0);
}

TEST(Canvas, PutRowPacksOneAndFourBitIndices) {
    ImageCanvas oneBit;
    ASSERT_TRUE(oneBit.Create(9, 1, 1, 0, TwoColourPalette()));
    std::vector<uint8_t> row(9 * 3, 0);
    row[0] = 50, row[1] = 100, row[2] = 200;     // pixel 0 is entry 1
    row[24] = 50, row[25] = 100, row[26] = 200;  // pixel 8 is entry 1
    ASSERT_TRUE(oneBit.PutRow(24, 0, row.data()));
    EXPECT_EQ(oneBit.Row(0)[0], 0x80);
    EXPECT_EQ(oneBit.Row(0)[1], 0x80);

    Palette256 palette{};
    for (int i = 0; i < 16; ++i) palette[i * 3 + 1] = static_cast<uint8_t>(i * 16);  // green = index x 16
    ImageCanvas fourBit;
    ASSERT_TRUE(fourBit.Create(3, 1, 4, 0, palette));
    const uint8_t pixels[9] = {0, 32, 0, 0, 240, 0, 0, 17, 0};
    ASSERT_TRUE(fourBit.PutRow(24, 0, pixels));
    EXPECT_EQ(fourBit.Row(0)[0], 0x2F);
    EXPECT_EQ(fourBit.Row(0)[1], 0x10);
}

TEST(Canvas, PutBitsRefusesDepthsOfEightOrLess) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(2, 2, 24, 7, Palette256{}));
    const uint8_t pixels[16] = {};
    EXPECT_FALSE(canvas.PutBits(8, pixels));
    EXPECT_FALSE(canvas.PutRow(1, 0, pixels));
    EXPECT_EQ(canvas.Row(0)[0], 7) << "a refused write leaves the canvas unchanged";
}

TEST(Canvas, PutBitsConvertsAWholePicture) {
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(3, 2, 24, 0, Palette256{}));
    std::vector<uint8_t> pixels(3 * 4 * 2);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(canvas.PutBits(32, pixels.data()));
    EXPECT_EQ(canvas.Row(1)[0], 13);
    EXPECT_EQ(canvas.Row(1)[3], 17) << "the fourth byte of each 32-bit pixel is dropped";
}

}  // namespace
}  // namespace marbleye
