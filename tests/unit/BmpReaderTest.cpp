#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "formats/bmp/Bmp.h"
#include "support/BmpBuilder.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::BmpBuilder;

class BmpReader : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes) { return LoadBytes(bytes, "picture.bmp"); }
    // The message a broken file gives; fails the test when it loads.
    std::string MessageOf(const std::string& bytes) {
        const auto picture = Load(bytes);
        EXPECT_FALSE(picture.ok());
        return picture.message();
    }

};

std::vector<uint8_t> Bytes16(std::initializer_list<uint16_t> values) {
    std::vector<uint8_t> bytes;
    for (uint16_t v : values) bytes.push_back(v & 0xFF), bytes.push_back(static_cast<uint8_t>(v >> 8));
    return bytes;
}

std::vector<uint8_t> GreyPalette(int entries, int entrySize = 4) {
    std::vector<uint8_t> palette;
    for (int i = 0; i < entries; ++i) {
        for (int c = 0; c < 3; ++c) palette.push_back(static_cast<uint8_t>(i));
        if (entrySize == 4) palette.push_back(0);
    }
    return palette;
}

TEST_F(BmpReader, Messages) {
    EXPECT_EQ(MessageOf("BX and then some bytes of nothing"), "is not a valid BitmapFile!");
    EXPECT_EQ(MessageOf(""), "is not a valid BitmapFile!");
    BmpBuilder bmp;
    bmp.headerSize = 20;
    EXPECT_EQ(MessageOf(bmp.Bytes()), "Unkown HeaderSize!");
    bmp.headerSize = 40;
    bmp.compression = 4;
    EXPECT_EQ(MessageOf(bmp.Bytes()), "This CompressionType is currently not supported");
    bmp.compression = 0;
    bmp.bitCount = 2;
    EXPECT_EQ(MessageOf(bmp.Bytes()), "This BitCount is currently not supported");
    bmp.bitCount = 24;
    bmp.width = 0;
    EXPECT_EQ(MessageOf(bmp.Bytes()), "is not a valid BitmapFile!");
    bmp.width = 1;
    bmp.height = INT32_MIN;
    EXPECT_EQ(MessageOf(bmp.Bytes()), "is not a valid BitmapFile!");
    EXPECT_EQ(MessageOf(bmp.Bytes().substr(0, 30)), "is not a valid BitmapFile!") << "header cut short";

    const auto missing = test::LoadPicture(folder_.File("missing.bmp"));
    EXPECT_EQ(missing.message(), "Couldn't open.");
}

TEST_F(BmpReader, AHugeHeaderIsRefusedBeforeAllocating) {
    BmpBuilder bmp;
    bmp.width = 100000;
    bmp.height = 100000;
    bmp.pixels = {1, 2, 3};
    EXPECT_EQ(MessageOf(bmp.Bytes()), "Out of Memory!");
}

// 54 bytes: a header declaring 16000 x 16000 at 24 bits and no pixel data.
const uint8_t kHugeWithoutPixels[] = {
    'B', 'M',            // signature
    54, 0, 0, 0,         // file size
    0, 0, 0, 0,          // reserved
    54, 0, 0, 0,         // pixel data offset: the end of the file
    40, 0, 0, 0,         // info header size
    0x80, 0x3E, 0, 0,    // width 16000
    0x80, 0x3E, 0, 0,    // height 16000
    1, 0,                // planes
    24, 0,               // bits per pixel
    0, 0, 0, 0,          // compression: none
    0, 0, 0, 0,          // image size
    0, 0, 0, 0,          // horizontal resolution
    0, 0, 0, 0,          // vertical resolution
    0, 0, 0, 0,          // colours used
    0, 0, 0, 0,          // important colours
};

// 62 bytes: 16000 x 16000 run-length coded at 8 bits, with two runs.
const uint8_t kHugeRle8[] = {
    'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0,
    54, 0, 0, 0,         // pixel data offset
    40, 0, 0, 0,         // info header size
    0x80, 0x3E, 0, 0,    // width 16000
    0x80, 0x3E, 0, 0,    // height 16000
    1, 0, 8, 0,          // planes, bits per pixel
    1, 0, 0, 0,          // compression: 8-bit runs
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    255, 7, 255, 7,      // two runs of 255 pixels
    0, 0, 0, 1,          // end of line, end of bitmap
};

std::string AsString(const uint8_t* bytes, size_t size) {
    return std::string(reinterpret_cast<const char*>(bytes), size);
}

TEST_F(BmpReader, HeadersDeclaringMoreThanTheFileHoldsAreRefusedBeforeAllocating) {
    for (const std::string& bytes : {AsString(kHugeWithoutPixels, sizeof kHugeWithoutPixels),
                                     AsString(kHugeRle8, sizeof kHugeRle8)}) {
        ASSERT_LT(bytes.size(), test::kSmallFileBytes);
        EXPECT_LT(test::PeakMemoryGrowthKb([&] { EXPECT_EQ(MessageOf(bytes), "is not a valid BitmapFile!"); }),
                  test::kSmallFileGrowthLimitKb);
    }
}

// The bound is the coding's own: runs of 255 pixels in every row describe
// 4096 x 4096 pixels in 36 bytes a row, and stored rows cut at a tenth (less
// than the sixteenth the rule allows) still load with the rest black.
TEST_F(BmpReader, FilesThatHoldTheirPictureStillLoad) {
    BmpBuilder runs;
    runs.width = runs.height = 4096;
    runs.bitCount = 8;
    runs.compression = 1;
    runs.palette = GreyPalette(256);
    for (int32_t y = 0; y < runs.height; ++y) {
        for (int i = 0; i < 16; ++i) runs.pixels.insert(runs.pixels.end(), {255, static_cast<uint8_t>(y)});
        runs.pixels.insert(runs.pixels.end(), {16, static_cast<uint8_t>(y), 0, 0});  // 16 more, end of line
    }
    const auto picture = Load(runs.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->Row(300)[4095], 300 & 0xFF);

    BmpBuilder stored;
    stored.width = 1000;
    stored.height = 800;
    stored.pixels.assign(3000 * 800, 0x80);
    const std::string file = stored.Bytes();
    const auto tenth = Load(file.substr(0, 54 + file.size() / 10));
    ASSERT_TRUE(tenth.ok()) << tenth.message();
    EXPECT_EQ(test::PixelOf(tenth, 0, 799), (std::array<int, 3>{0x80, 0x80, 0x80}));
    EXPECT_EQ(test::PixelOf(tenth, 0, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(MessageOf(file.substr(0, 54 + file.size() / 20)), "is not a valid BitmapFile!");
}

TEST_F(BmpReader, TopDownFilesAreShownUpright) {
    BmpBuilder bmp;
    bmp.width = 1;
    bmp.height = -2;
    bmp.pixels = {0, 0, 255, 0, /* top row red */ 255, 0, 0, 0 /* bottom row blue */};
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.height, 2);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (std::array<int, 3>{0, 0, 255}));
}

TEST_F(BmpReader, SixteenBitFieldsWithFiveSixFiveMasks) {
    BmpBuilder bmp;
    bmp.width = 3;
    bmp.bitCount = 16;
    bmp.compression = 3;
    bmp.masks = {0xF800, 0x07E0, 0x001F};
    bmp.pixels = Bytes16({0x07E0, 0xF800, 0x001F, 0});
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 16);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (std::array<int, 3>{0, 0, 255}));
}

TEST_F(BmpReader, SixteenBitsUseTheTopFiveGreenBitsAndRoundedFiveBitValues) {
    BmpBuilder bmp;
    bmp.width = 2;
    bmp.bitCount = 16;
    bmp.compression = 3;
    bmp.masks = {0xF800, 0x07E0, 0x001F};
    bmp.pixels = Bytes16({(3 << 11) | (0x3F << 5) | 1, (1 << 5) | 4});
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{25, 255, 8}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (std::array<int, 3>{0, 0, 33})) << "the lowest green bit is dropped";
}

TEST_F(BmpReader, SixteenBitsWithoutFieldsAreFiveFiveFive) {
    BmpBuilder bmp;
    bmp.width = 5;  // stored rows hold 6 pixels
    bmp.height = 2;
    bmp.bitCount = 16;
    bmp.pixels = Bytes16({0x7C00, 0, 0, 0, 0, 0xFFFF, /* bottom row */ 0x03E0, 0, 0, 0, 0x001F, 0xFFFF});
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{0, 255, 0}));
    EXPECT_EQ(test::PixelOf(picture, 4, 0), (std::array<int, 3>{0, 0, 255}));
}

TEST_F(BmpReader, LongerHeadersCarryTheirMasksInside) {
    for (uint32_t headerSize : {52u, 56u, 108u, 124u}) {
        BmpBuilder bmp;
        bmp.headerSize = headerSize;
        bmp.bitCount = 16;
        bmp.compression = 3;
        bmp.masks = {0xF800, 0x07E0, 0x001F};
        bmp.pixels = Bytes16({0x07E0, 0});
        const auto picture = Load(bmp.Bytes());
        ASSERT_TRUE(picture.ok()) << headerSize << ": " << picture.message();
        EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{0, 255, 0})) << headerSize;
    }
}

// A channel value of `bits` bits as the bit-field rule scales it, worked out
// apart from the reader: v x 255 / (2^bits - 1), to the nearest integer.
int Scaled(uint32_t value, int bits) {
    return static_cast<int>(std::lround(value * 255.0 / static_cast<double>((uint64_t{1} << bits) - 1)));
}

struct MaskCase {
    const char* name;
    uint32_t headerSize;
    uint16_t bitCount;
    std::vector<uint32_t> masks;  // red, green, blue (and alpha) as stored
    int redBits, greenBits, blueBits;
    std::vector<std::array<uint32_t, 3>> values;  // red, green, blue field values of each pixel
};

// Builds each pixel from its field values at the mask positions, and expects
// every channel scaled from its own number of bits.
TEST_F(BmpReader, BitFieldMasksOfAnyWidthAndPlace) {
    const std::vector<MaskCase> cases = {
        {"32-bit, red in the lowest byte", 108, 32, {0x000000FF, 0x0000FF00, 0x00FF0000, 0},
         8, 8, 8, {{255, 0, 0}, {1, 128, 254}, {0x12, 0x34, 0x56}}},
        {"32-bit 10-10-10", 124, 32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
         10, 10, 10, {{1023, 0, 1}, {512, 256, 100}, {2, 3, 1021}}},
        {"32-bit 11-11-10", 40, 32, {0xFFE00000, 0x001FFC00, 0x000003FF},
         11, 11, 10, {{2047, 1, 0}, {1024, 4, 1023}, {5, 2046, 511}}},
        {"16-bit 2-3-1", 56, 16, {0x0030, 0x000E, 0x0001, 0}, 2, 3, 1, {{3, 7, 1}, {1, 2, 0}, {2, 5, 1}}},
        {"16-bit 8-8-0", 108, 16, {0xFF00, 0x00FF, 0, 0}, 8, 8, 0, {{255, 0, 0}, {0x12, 0x34, 0}, {1, 254, 0}}},
        {"16-bit 4-4-4 with alpha", 124, 16, {0x0F00, 0x00F0, 0x000F, 0xF000},
         4, 4, 4, {{15, 0, 1}, {7, 8, 9}, {2, 14, 3}}},
        {"16-bit 1-5-5-5", 56, 16, {0x7C00, 0x03E0, 0x001F, 0x8000},
         5, 5, 5, {{31, 0, 1}, {16, 15, 30}, {3, 9, 27}}},
        {"16-bit 6-5-5", 52, 16, {0xFC00, 0x03E0, 0x001F}, 6, 5, 5, {{63, 1, 0}, {32, 17, 31}, {1, 30, 2}}},
    };
    for (const MaskCase& c : cases) {
        BmpBuilder bmp;
        bmp.headerSize = c.headerSize;
        bmp.width = static_cast<int32_t>(c.values.size());
        bmp.bitCount = c.bitCount;
        bmp.compression = 3;
        bmp.masks = c.masks;
        const auto place = [](uint32_t value, uint32_t mask) { return mask ? value << std::countr_zero(mask) : 0u; };
        for (const auto& v : c.values) {
            uint32_t pixel = place(v[0], c.masks[0]) | place(v[1], c.masks[1]) | place(v[2], c.masks[2]);
            if (c.masks.size() > 3) pixel |= c.masks[3];  // opaque: alpha does not show
            for (int byte = 0; byte < c.bitCount / 8; ++byte) {
                bmp.pixels.push_back(static_cast<uint8_t>(pixel >> (8 * byte)));
            }
        }
        bmp.pixels.resize((bmp.pixels.size() + 3) / 4 * 4, 0);
        const auto picture = Load(bmp.Bytes());
        ASSERT_TRUE(picture.ok()) << c.name << ": " << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 24) << c.name;
        for (size_t x = 0; x < c.values.size(); ++x) {
            const auto& v = c.values[x];
            const std::array<int, 3> expected = {Scaled(v[0], c.redBits),
                                                 c.greenBits ? Scaled(v[1], c.greenBits) : 0,
                                                 c.blueBits ? Scaled(v[2], c.blueBits) : 0};
            EXPECT_EQ(test::PixelOf(picture, static_cast<int32_t>(x), 0), expected) << c.name << ", pixel " << x;
        }
    }
}

// Masks that are not one run of bits each, overlap, reach past a 16-bit
// pixel or are all zero are not trusted: the pixels read as 5-5-5 or 8-8-8.
TEST_F(BmpReader, UntrustworthyMasksReadAsTheLayoutWithoutFields) {
    const std::vector<std::vector<uint32_t>> sixteenBitMasks = {
        {0xF00F, 0x00F0, 0x0F00},    // red in two pieces
        {0xFF00, 0x0FF0, 0x000F},    // red and green share bits
        {0x1F0000, 0x07E0, 0x001F},  // red outside the pixel
        {0, 0, 0},
    };
    for (const auto& masks : sixteenBitMasks) {
        BmpBuilder bmp;
        bmp.width = 2;
        bmp.bitCount = 16;
        bmp.compression = 3;
        bmp.masks = masks;
        bmp.pixels = Bytes16({0x7C00, 0x03FF});
        const auto picture = Load(bmp.Bytes());
        ASSERT_TRUE(picture.ok()) << std::hex << masks[0];
        EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{255, 0, 0})) << std::hex << masks[0];
        EXPECT_EQ(test::PixelOf(picture, 1, 0), (std::array<int, 3>{0, 255, 255})) << std::hex << masks[0];
    }
    BmpBuilder bmp;
    bmp.width = 1;
    bmp.bitCount = 32;
    bmp.compression = 3;
    bmp.masks = {0x00FF00FF, 0x0000FF00, 0xFF000000};  // red in two pieces
    bmp.pixels = {10, 20, 30, 40};
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{30, 20, 10}));
}

TEST_F(BmpReader, ThirtyTwoBitsIgnoreTheFourthByte) {
    BmpBuilder bmp;
    bmp.width = 2;
    bmp.bitCount = 32;
    bmp.pixels = {10, 20, 30, 99, 40, 50, 60, 0};
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{30, 20, 10}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (std::array<int, 3>{60, 50, 40}));
}

TEST_F(BmpReader, PalettesAreReadInFullWhateverTheColoursUsedSay) {
    BmpBuilder bmp;
    bmp.width = 2;
    bmp.bitCount = 8;
    bmp.coloursUsed = 16;
    bmp.palette = GreyPalette(256);
    bmp.palette[200 * 4 + 2] = 0xEE;  // entry 200: red 0xEE
    bmp.dataOffset = 54 + 1024 + 10;  // the pixels start at the stored offset
    bmp.pixels = {200, 7, 0, 0};
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(picture.image.palette[200 * 3], 0xEE);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{0xEE, 200, 200}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (std::array<int, 3>{7, 7, 7}));
}

TEST_F(BmpReader, OS2CoreHeadersHaveThreeBytePaletteEntries) {
    BmpBuilder bmp;
    bmp.headerSize = 12;
    bmp.width = 3;
    bmp.bitCount = 4;
    bmp.palette = GreyPalette(16, 3);
    bmp.palette[5 * 3] = 0x50;  // entry 5: blue 0x50
    bmp.pixels = {0x5F, 0x10, 0, 0};
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{5, 5, 0x50}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (std::array<int, 3>{15, 15, 15}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (std::array<int, 3>{1, 1, 1}));
}

TEST_F(BmpReader, Rle8RowsThatEndEarlyKeepThePreviousRow) {
    BmpBuilder bmp;
    bmp.width = 4;  // rows fill their buffer exactly: the end-of-line codes still belong to them
    bmp.height = 3;
    bmp.bitCount = 8;
    bmp.compression = 1;
    bmp.palette = GreyPalette(256);
    bmp.pixels = {4, 9,                 // bottom row: four pixels of 9
                  0, 0,                 // end of line
                  2, 5, 0, 0,           // middle row: two of 5, then end of line
                  0, 3, 1, 2, 3, 0,     // top row: absolute run 1 2 3, padded to an even position
                  1, 4, 0, 1};          // one pixel of 4, end of bitmap
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    const ImageCanvas& canvas = *picture.canvas;
    EXPECT_EQ(std::vector<uint8_t>(canvas.Row(0), canvas.Row(0) + 4), (std::vector<uint8_t>{9, 9, 9, 9}));
    EXPECT_EQ(std::vector<uint8_t>(canvas.Row(1), canvas.Row(1) + 4), (std::vector<uint8_t>{5, 5, 9, 9}));
    EXPECT_EQ(std::vector<uint8_t>(canvas.Row(2), canvas.Row(2) + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST_F(BmpReader, Rle8DeltasAreReadAsAnOrdinaryPair) {
    BmpBuilder bmp;
    bmp.width = 3;
    bmp.bitCount = 8;
    bmp.compression = 1;
    bmp.palette = GreyPalette(256);
    bmp.pixels = {0, 2, 2, 7, 0, 1};  // delta, then its bytes (2, 7) as a run of two 7s
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.canvas->Row(0)[0], 7);
    EXPECT_EQ(picture.canvas->Row(0)[1], 7);
    EXPECT_EQ(picture.canvas->Row(0)[2], 0);
}

TEST_F(BmpReader, Rle4RowsStartClearedAndPlaceNibblesMidByte) {
    BmpBuilder bmp;
    bmp.width = 7;
    bmp.height = 2;
    bmp.bitCount = 4;
    bmp.compression = 2;
    bmp.palette = GreyPalette(16);
    bmp.pixels = {3, 0x12,              // bottom row: 1 2 1
                  0, 3, 0x34, 0x50,     // absolute 3 4 5, starting in the middle of a byte
                  0, 0,                 // end of line
                  1, 0xF0, 0, 1};       // top row: one pixel of 15, then end of bitmap
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    const ImageCanvas& canvas = *picture.canvas;
    EXPECT_EQ(std::vector<uint8_t>(canvas.Row(0), canvas.Row(0) + 4), (std::vector<uint8_t>{0x12, 0x13, 0x45, 0}));
    EXPECT_EQ(std::vector<uint8_t>(canvas.Row(1), canvas.Row(1) + 4), (std::vector<uint8_t>{0xF0, 0, 0, 0}));
}

TEST_F(BmpReader, TruncatedPixelsLeaveTheRestBlack) {
    BmpBuilder bmp;
    bmp.width = 2;
    bmp.height = 3;
    bmp.pixels = {255, 255, 255, 255, 255, 255, 0, 0, /* second row, cut: */ 255, 255};
    const auto picture = Load(bmp.Bytes());
    ASSERT_TRUE(picture.ok()) << "a short file still gives a picture";
    EXPECT_EQ(test::PixelOf(picture, 0, 2), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (std::array<int, 3>{0, 255, 255}));
    EXPECT_EQ(test::PixelOf(picture, 1, 1), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (std::array<int, 3>{0, 0, 0}));
}

// Every prefix of valid files gives a picture or the reader's message.
TEST_F(BmpReader, EveryTruncationGivesAPictureOrAMessage) {
    std::vector<BmpBuilder> files(3);
    files[0].width = 5, files[0].height = 3, files[0].bitCount = 8, files[0].palette = GreyPalette(256);
    files[0].pixels.assign(24, 3);
    files[1].width = 4, files[1].height = 2, files[1].bitCount = 8, files[1].compression = 1;
    files[1].palette = GreyPalette(256);
    files[1].pixels = {2, 1, 0, 3, 4, 5, 6, 0, 0, 0, 4, 9, 0, 1};
    files[2].width = 3, files[2].height = 2, files[2].bitCount = 16, files[2].compression = 3;
    files[2].masks = {0xF800, 0x7E0, 0x1F}, files[2].pixels.assign(16, 0xA5);
    for (const BmpBuilder& builder : files) {
        const std::string bytes = builder.Bytes();
        for (size_t length = 0; length <= bytes.size(); ++length) {
            const auto picture = Load(bytes.substr(0, length));
            if (picture.ok()) {
                EXPECT_TRUE(picture.canvas->valid());
                EXPECT_EQ(picture.canvas->width(), builder.width);
            } else {
                EXPECT_FALSE(picture.message().empty()) << length;
                EXPECT_EQ(picture.canvas->width(), 500) << "the error picture";
            }
        }
    }
}

}  // namespace
}  // namespace marbleye
