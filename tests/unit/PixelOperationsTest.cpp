#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "canvas/ImageCanvas.h"
#include "canvas/PixelLimits.h"
#include "imaging/PixelOperations.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::CanvasFromRgb;
using test::CanvasToRgb;
using test::MakePattern;
using test::RgbImage;

// Red, blue and the other corners of the colour cube as 0xRRGGBB; every
// channel command maps them onto each other.
const std::vector<uint32_t> kCorners{0xFF0000, 0x0000FF, 0x00FF00, 0xFFFFFF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0x000000};

// An asymmetric width x height picture: the test pattern at 24 and 32 bits,
// palette indices with the red entry at the top left below. The palette
// entries after the corners hold a gray that no command produces.
void MakePicture(ImageCanvas& canvas, int32_t bits, int32_t width = 5, int32_t height = 3) {
    if (bits >= 24) {
        ASSERT_TRUE(CanvasFromRgb(MakePattern(width, height), canvas, bits));
        return;
    }
    Palette256 palette{};
    for (size_t i = 0; i < 256; ++i) {
        const uint32_t colour = i < kCorners.size() ? kCorners[i] : 0x808080;
        palette[i * 3] = colour >> 16, palette[i * 3 + 1] = (colour >> 8) & 0xFF, palette[i * 3 + 2] = colour & 0xFF;
    }
    ASSERT_TRUE(canvas.Create(width, height, bits, 0, palette));
    // Indices as a bitmap file lays them out: the leftmost pixel in the high bits.
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int index = (x == 0 && y == 0) ? 0 : (x * 3 + y * 2 + 1) % (bits == 1 ? 2 : 8);
            const int shift = 8 - bits - (x * bits) % 8;
            canvas.Row(height - 1 - y)[x * bits / 8] |= static_cast<uint8_t>(index << shift);
        }
    }
}

std::vector<uint8_t> BytesOf(const ImageCanvas& canvas) {
    return std::vector<uint8_t>(canvas.bits(), canvas.bits() + canvas.byteCount());
}

// The picture as seen, changed by moving each pixel or by changing each colour.
RgbImage Moved(const RgbImage& image, int32_t width, int32_t height,
               const uint8_t* (*from)(const RgbImage&, int32_t, int32_t)) {
    RgbImage moved{width, height, std::vector<uint8_t>(image.rgb.size())};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) std::memcpy(&moved.rgb[(y * width + x) * 3], from(image, x, y), 3);
    }
    return moved;
}
RgbImage Mirrored(const RgbImage& i) {
    return Moved(i, i.width, i.height,
                 [](const RgbImage& s, int32_t x, int32_t y) { return s.At(s.width - 1 - x, y); });
}
// A quarter turn clockwise: the left column becomes the top row, so the
// top-left pixel goes to the top right.
RgbImage Clockwise(const RgbImage& i) {
    return Moved(i, i.height, i.width,
                 [](const RgbImage& s, int32_t x, int32_t y) { return s.At(y, s.height - 1 - x); });
}
RgbImage Recoloured(RgbImage image, uint32_t (*change)(uint32_t)) {
    for (size_t i = 0; i < image.rgb.size(); i += 3) {
        const uint32_t c = change((image.rgb[i] << 16) | (image.rgb[i + 1] << 8) | image.rgb[i + 2]);
        image.rgb[i] = c >> 16, image.rgb[i + 1] = (c >> 8) & 0xFF, image.rgb[i + 2] = c & 0xFF;
    }
    return image;
}

TEST(FlipImage, ReversesTheStoredRowsAndKeepsTheMiddleRowAtEveryDepth) {
    for (int32_t bits : {1, 4, 8, 24, 32}) {
        for (int32_t height : {1, 3, 4}) {
            ImageCanvas canvas;
            MakePicture(canvas, bits, 5, height);
            for (size_t i = 0; i < canvas.byteCount(); ++i) canvas.bits()[i] = static_cast<uint8_t>(i * 29 + 7);
            const std::vector<uint8_t> before = BytesOf(canvas);
            ASSERT_TRUE(FlipImage(canvas));
            for (int32_t y = 0; y < height; ++y) {
                const uint8_t* was = before.data() + static_cast<size_t>(height - 1 - y) * canvas.stride();
                EXPECT_EQ(std::memcmp(canvas.Row(y), was, canvas.stride()), 0) << bits << " bits, row " << y;
            }
        }
    }
}

TEST(MirrorImage, ExchangesLeftAndRightKeepingTheMiddleColumnAndThePalette) {
    for (int32_t bits : {8, 24, 32}) {
        for (int32_t width : {5, 4, 1}) {
            ImageCanvas canvas;
            MakePicture(canvas, bits, width, 3);
            if (bits == 32) canvas.Row(1)[3] = 0x77;
            const RgbImage expected = Mirrored(CanvasToRgb(canvas));
            ASSERT_TRUE(MirrorImage(canvas).ok());
            EXPECT_EQ(canvas.bitsPerPixel(), bits);
            EXPECT_EQ(CanvasToRgb(canvas), expected) << bits << " bits, width " << width;
            if (bits == 32) {
                EXPECT_EQ(canvas.Row(1)[(width - 1) * 4 + 3], 0) << "the 24-bit copy has no fourth byte";
            }
        }
    }
}

TEST(RotateImage, TurnsAQuarterAsSeenAndBecomes24BitAtEveryDepth) {
    for (int32_t bits : {1, 4, 8, 24, 32}) {
        ImageCanvas canvas;
        MakePicture(canvas, bits);
        const PaletteBgr palette = canvas.palette();
        const RgbImage before = CanvasToRgb(canvas);
        ASSERT_TRUE(RotateRight(canvas).ok());
        EXPECT_EQ(canvas.bitsPerPixel(), 24);
        EXPECT_EQ(canvas.palette(), palette);
        EXPECT_EQ(CanvasToRgb(canvas), Clockwise(before)) << bits << " bits";
        ASSERT_TRUE(RotateLeft(canvas).ok());
        EXPECT_EQ(CanvasToRgb(canvas), before) << bits << " bits";
        ASSERT_TRUE(RotateLeft(canvas).ok());
        EXPECT_EQ(CanvasToRgb(canvas), Clockwise(Clockwise(Clockwise(before)))) << bits << " bits";
    }
}

TEST(MirrorAndRotate, WithoutMemoryForTheirCopySayTheMessageAndChangeNothing) {
    ImageCanvas indexed, wide;
    MakePicture(indexed, 8, 64, 64);
    MakePicture(wide, 24, 64, 63);
    const std::vector<uint8_t> indexedBefore = BytesOf(indexed), wideBefore = BytesOf(wide);
    const size_t limit = PixelByteLimit();
    SetPixelByteLimit(8192);  // below the 12 KiB of each copy
    EXPECT_EQ(MirrorImage(indexed).message(), "Getting Memory returned NULL! Aborting...");
    EXPECT_EQ(RotateRight(wide).message(), "Getting Memory returned NULL! Aborting...");
    EXPECT_EQ(RotateLeft(indexed).message(), "Getting Memory returned NULL! Aborting...");
    SetPixelByteLimit(limit);
    EXPECT_EQ(BytesOf(indexed), indexedBefore);
    EXPECT_EQ(BytesOf(wide), wideBefore);
    EXPECT_EQ(wide.width(), 64);
}

// The weights are single-precision numbers; a product of one with a byte
// needs at most 35 significant bits, as does the sum, so doubles hold it exactly.
int ExpectedGray(int red, int green, int blue) {
    return static_cast<int>(std::floor(double{0.299f} * red + double{0.587f} * green + double{0.114f} * blue));
}

TEST(GrayPixels, GivesTheTruncatedWeightedSumAndSkipsThePadding) {
    // One pixel and one padding byte a row. The weights add up to slightly
    // more than 1, so white stays 255; the last two colours come out on the
    // other side of an integer when summed in single precision.
    const uint32_t colours[] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0x0305D4, 0x040056};
    const int expected[] = {255, 76, 149, 29, ExpectedGray(0x12, 0x34, 0x56), ExpectedGray(3, 5, 0xD4),
                            ExpectedGray(4, 0, 0x56)};
    PixelBuffer narrow = PixelBuffer::Allocate(1, 7, 24);
    for (int32_t y = 0; y < 7; ++y) {
        uint8_t* p = narrow.Row(y);
        p[0] = colours[y] & 0xFF, p[1] = (colours[y] >> 8) & 0xFF, p[2] = colours[y] >> 16, p[3] = 0xEE;
    }
    GrayPixels(narrow);
    for (int32_t y = 0; y < 7; ++y) {
        EXPECT_EQ(std::vector<int>(narrow.Row(y), narrow.Row(y) + 4),
                  (std::vector<int>{expected[y], expected[y], expected[y], 0xEE}))
            << y;
    }
    PixelBuffer many = PixelBuffer::Allocate(61, 67, 24);
    for (size_t i = 0; i < many.byteCount(); ++i) many.data()[i] = static_cast<uint8_t>(i * 7 + i / 191);
    std::vector<uint8_t> before(many.data(), many.data() + many.byteCount());
    GrayPixels(many);
    for (int32_t y = 0; y < 67; ++y) {
        for (int32_t x = 0; x < 61; ++x) {
            const uint8_t* was = before.data() + y * many.stride() + x * 3;
            ASSERT_EQ(many.Row(y)[x * 3 + 1], ExpectedGray(was[2], was[1], was[0])) << x << "," << y;
        }
    }
}

TEST(GrayscaleImage, GivesAn8BitGrayPictureAndSetsTheStoredDepth) {
    ImageCanvas canvas;
    MakePicture(canvas, 24, 1, 7);
    const RgbImage before = CanvasToRgb(canvas);
    CurrentImage image;
    ASSERT_TRUE(GrayscaleImage(canvas, image).ok());
    EXPECT_EQ(canvas.bitsPerPixel(), 8);
    EXPECT_EQ(image.fileBitDepth, 8);
    const RgbImage after = CanvasToRgb(canvas);
    for (int32_t y = 0; y < 7; ++y) {
        const uint8_t* was = before.At(0, y);
        const uint8_t* now = after.At(0, y);
        EXPECT_TRUE(now[0] == now[1] && now[1] == now[2]) << y;
        EXPECT_NEAR(now[0], ExpectedGray(was[0], was[1], was[2]), 8) << "within one median-cut cell, row " << y;
    }
}

TEST(InvertImage, InvertsColoursAndIndicesAndLeavesThePadding) {
    ImageCanvas canvas;
    MakePicture(canvas, 24);
    canvas.Row(1)[15] = 0x5A;  // padding after the fifth pixel
    RgbImage expected = CanvasToRgb(canvas);
    for (uint8_t& v : expected.rgb) v = static_cast<uint8_t>(255 - v);
    ASSERT_TRUE(InvertImage(canvas));
    EXPECT_EQ(CanvasToRgb(canvas), expected);
    EXPECT_EQ(canvas.Row(1)[15], 0x5A);

    ImageCanvas indexed;
    MakePicture(indexed, 8);
    const std::vector<uint8_t> bytes = BytesOf(indexed);
    ASSERT_TRUE(InvertImage(indexed));
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(indexed.Row(2)[x], 255 - bytes[2 * indexed.stride() + x]);
    ASSERT_TRUE(InvertImage(indexed));
    EXPECT_EQ(BytesOf(indexed), bytes);

    ImageCanvas bilevel;
    MakePicture(bilevel, 1);
    bilevel.Row(0)[0] |= 0x07;  // the three bits after the fifth pixel
    const uint8_t first = bilevel.Row(0)[0];
    ASSERT_TRUE(InvertImage(bilevel));
    EXPECT_EQ(bilevel.Row(0)[0], first ^ 0xF8);
}

TEST(ShowAlpha, CopiesTheFourthByteEverywhereAsImageAndWhereItIsSetAsLayer) {
    for (int32_t bits : {8, 24, 32}) {
        ImageCanvas canvas;
        MakePicture(canvas, bits);
        const RgbImage before = CanvasToRgb(canvas);
        ASSERT_TRUE(ShowAlpha(canvas, true));
        EXPECT_EQ(CanvasToRgb(canvas), before) << bits;
        ASSERT_TRUE(ShowAlpha(canvas, false));
        EXPECT_EQ(CanvasToRgb(canvas), (RgbImage{5, 3, std::vector<uint8_t>(45, 0)})) << bits;
    }
    for (bool onlyWhereAlpha : {false, true}) {
        ImageCanvas canvas;
        MakePicture(canvas, 32);
        for (int32_t x = 0; x < 5; ++x) canvas.Row(1)[x * 4 + 3] = static_cast<uint8_t>(x == 2 ? 0 : x * 50 + 9);
        const std::vector<uint8_t> before = BytesOf(canvas);
        ASSERT_TRUE(ShowAlpha(canvas, onlyWhereAlpha));
        for (int32_t x = 0; x < 5; ++x) {
            const uint8_t* was = before.data() + canvas.stride() + x * 4;
            const uint8_t* now = canvas.Row(1) + x * 4;
            for (int i = 0; i < 4; ++i) EXPECT_EQ(now[i], onlyWhereAlpha && was[3] == 0 ? was[i] : was[3]) << x;
        }
    }
}

uint32_t Swapped(uint32_t c, int a, int b) {
    return (c & ~((0xFFu << a) | (0xFFu << b))) | (((c >> a) & 0xFF) << b) | (((c >> b) & 0xFF) << a);
}

struct ChannelCase {
    const char* name;
    bool (*apply)(ImageCanvas&);
    uint32_t (*change)(uint32_t);
};
const ChannelCase kChannelCases[] = {
    {"keep red", [](ImageCanvas& c) { return KeepChannel(c, ColourChannel::kRed); },
     [](uint32_t c) { return c & 0xFF0000; }},
    {"keep green", [](ImageCanvas& c) { return KeepChannel(c, ColourChannel::kGreen); },
     [](uint32_t c) { return c & 0xFF00; }},
    {"keep blue", [](ImageCanvas& c) { return KeepChannel(c, ColourChannel::kBlue); },
     [](uint32_t c) { return c & 0xFF; }},
    {"red-blue", [](ImageCanvas& c) { return SwapChannels(c, ChannelSwap::kRedBlue); },
     [](uint32_t c) { return Swapped(c, 16, 0); }},
    {"red-green", [](ImageCanvas& c) { return SwapChannels(c, ChannelSwap::kRedGreen); },
     [](uint32_t c) { return Swapped(c, 16, 8); }},
    {"green-blue", [](ImageCanvas& c) { return SwapChannels(c, ChannelSwap::kGreenBlue); },
     [](uint32_t c) { return Swapped(c, 8, 0); }},
};

// On a palette picture the new colours are found in the palette, which holds
// the corners of the colour cube; the fourth byte of 32-bit pixels stays.
TEST(ChannelCommands, ChangeEveryPixelAtEveryDepthKeepingTheFourthByteAndPadding) {
    for (const ChannelCase& c : kChannelCases) {
        for (int32_t bits : {4, 8, 24, 32}) {
            ImageCanvas canvas;
            MakePicture(canvas, bits);
            if (bits == 32) canvas.Row(0)[4 * 4 + 3] = 0x99;
            if (bits == 4) canvas.Row(1)[2] |= 0x0D;  // the half byte after the fifth pixel
            const RgbImage expected = Recoloured(CanvasToRgb(canvas), c.change);
            ASSERT_TRUE(c.apply(canvas));
            EXPECT_EQ(CanvasToRgb(canvas), expected) << c.name << ", " << bits << " bits";
            const int fourthByte = bits == 32 ? canvas.Row(0)[4 * 4 + 3] : 0x99;
            const int halfByte = bits == 4 ? canvas.Row(1)[2] & 0x0F : 0x0D;
            EXPECT_EQ(fourthByte, 0x99) << c.name;
            EXPECT_EQ(halfByte, 0x0D) << c.name;
        }
        ImageCanvas empty;
        EXPECT_FALSE(c.apply(empty)) << c.name;
    }
}

}  // namespace
}  // namespace marbleye
