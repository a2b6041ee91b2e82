#include <gtest/gtest.h>

#include "formats/bmp/Bmp.h"
#include "support/BmpBuilder.h"
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
