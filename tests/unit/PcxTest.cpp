#include <gtest/gtest.h>

#include "formats/classic/Pcx.h"
#include "support/ReaderTest.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

// A 128-byte header: bits per plane, size, planes and bytes per line.
std::string Header(int bits, int width, int height, int planes, int bytesPerLine) {
    std::string h(128, '\0');
    h[0] = 10, h[1] = 5, h[2] = 1, h[3] = static_cast<char>(bits);
    h[8] = static_cast<char>(width - 1), h[10] = static_cast<char>(height - 1);
    h[65] = static_cast<char>(planes), h[66] = static_cast<char>(bytesPerLine);
    return h;
}

class Pcx : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes) { return LoadBytes(bytes, "picture.pcx"); }
};

TEST_F(Pcx, Messages) {
    EXPECT_EQ(Load("short").message(), "Error while reading PCXHeader!");
    std::string header = Header(8, 2, 2, 1, 2);
    header[0] = 11;
    EXPECT_EQ(Load(header).message(), "This is not a valid PCXFormatfile!");
}

TEST_F(Pcx, RunsAreCutAtTheLineEndAndAMissingPaletteIsBlack) {
    // Two lines of three pixels: a run of five (cut to three), then literals.
    const std::string data = std::string("\xC5\x07", 2) + "\x01\x02\x03";
    const auto black = Load(Header(8, 3, 2, 1, 3) + data);
    ASSERT_TRUE(black.ok()) << black.message();
    EXPECT_EQ(black.canvas->Row(1)[2], 7);
    EXPECT_EQ(black.canvas->Row(0)[0], 1) << "the second line starts fresh";
    EXPECT_EQ(test::PixelOf(black, 0, 0), (Colour{0, 0, 0})) << "no byte 12: an all-black palette";

    std::string palette(769, '\0');
    palette[0] = 12;
    palette[1 + 7 * 3] = static_cast<char>(200);  // entry 7: red 200
    const auto coloured = Load(Header(8, 3, 2, 1, 3) + data + palette);
    ASSERT_TRUE(coloured.ok());
    EXPECT_EQ(test::PixelOf(coloured, 0, 0), (Colour{200, 0, 0}));
}

TEST_F(Pcx, PlanesAndDepths) {
    // 24 bits: one line each of red, green and blue planes.
    const auto rgb = Load(Header(8, 2, 1, 3, 2) + "\x0A\x0B" + "\x14\x15" + "\x1E\x1F");
    ASSERT_TRUE(rgb.ok());
    EXPECT_EQ(test::PixelOf(rgb, 1, 0), (Colour{0x0B, 0x15, 0x1F}));
    // Four 1-bit planes packed into 4-bit pixels: plane k is bit k.
    std::string header = Header(1, 2, 1, 4, 1);
    header[16 + 9 * 3] = 90;  // header palette entry 9: red 90
    const auto planes = Load(header + std::string("\x80\x00\x00\x80", 4));
    ASSERT_TRUE(planes.ok()) << planes.message();
    EXPECT_EQ(planes.canvas->bitsPerPixel(), 4);
    EXPECT_EQ(test::PixelOf(planes, 0, 0), (Colour{90, 0, 0}));
    // Three 1-bit planes take the header's palette too.
    std::string threeHeader = Header(1, 1, 1, 3, 1);
    threeHeader[16 + 5 * 3 + 1] = 77;  // entry 5: green 77
    const auto three = Load(threeHeader + std::string("\x80\x00\x80", 3));
    EXPECT_EQ(test::PixelOf(three, 0, 0), (Colour{0, 77, 0})) << "planes 0 and 2 set: entry 5";
}

TEST_F(Pcx, TheWriterRoundTripsAndUsesTheWidthAsBytesPerLine) {
    const test::RgbImage pattern = test::MakePattern(37, 9);
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
    const std::string path = folder_.File("out.pcx");
    ASSERT_TRUE(WritePcx(path, canvas, 24, QuietHost()).ok());
    const std::string bytes = test::ReadFileBytes(path);
    EXPECT_EQ(bytes[65], 3);
    EXPECT_EQ(static_cast<uint8_t>(bytes[66]), 37) << "an odd width stays the bytes per line";
    const auto back = test::LoadPicture(path);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(test::CanvasToRgb(*back.canvas), pattern);

    const test::RgbImage few = test::MakePalettePattern(37, 9, {0x102030, 0xF0E0D0, 0x00FF00});
    ASSERT_TRUE(test::CanvasFromRgb(few, canvas));
    ASSERT_TRUE(WritePcx(path, canvas, 8, QuietHost()).ok());
    const std::string eight = test::ReadFileBytes(path);
    EXPECT_EQ(eight[eight.size() - 769], 12);
    EXPECT_EQ(test::CanvasToRgb(*test::LoadPicture(path).canvas), few);
}

TEST_F(Pcx, TruncationsAndHostileHeadersGiveAPictureOrAMessage) {
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(11, 4), canvas));
    const std::string path = folder_.File("full.pcx");
    ASSERT_TRUE(WritePcx(path, canvas, 8, QuietHost()).ok());
    const std::string bytes = test::ReadFileBytes(path);
    for (size_t length = 0; length <= bytes.size(); length += 5) {
        const auto picture = Load(bytes.substr(0, length));
        if (!picture.ok()) {
            EXPECT_FALSE(picture.message().empty());
        }
    }
    std::string huge = Header(8, 1, 1, 1, 1);
    huge[8] = huge[9] = huge[10] = huge[11] = static_cast<char>(0xFF);  // 65536 x 65536
    EXPECT_EQ(Load(huge).message(), "Not enough Memory!");
}

}  // namespace
}  // namespace marbleye
