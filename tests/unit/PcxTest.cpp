#include <gtest/gtest.h>

#include <algorithm>

#include "formats/classic/Pcx.h"
#include "support/MemoryUse.h"
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
    h[8] = static_cast<char>(width - 1), h[9] = static_cast<char>((width - 1) >> 8);
    h[10] = static_cast<char>(height - 1), h[11] = static_cast<char>((height - 1) >> 8);
    h[65] = static_cast<char>(planes);
    h[66] = static_cast<char>(bytesPerLine), h[67] = static_cast<char>(bytesPerLine >> 8);
    return h;
}

template <size_t N>
std::string Bytes(const uint8_t (&bytes)[N]) {
    return std::string(reinterpret_cast<const char*>(bytes), N);
}

// A 128-byte header of a 16000 x 16000 picture with the given planes and
// bytes per line.
std::string HugeHeader(uint8_t planes, uint8_t bytesPerLineLow, uint8_t bytesPerLineHigh) {
    const uint8_t start[] = {
        10,          // ZSoft
        5,           // version 3.0
        1,           // run-length lines
        8,           // bits per pixel and plane
        0, 0,        // left 0
        0, 0,        // top 0
        0x7F, 0x3E,  // right 15999
        0x7F, 0x3E,  // bottom 15999
        72, 0,       // horizontal resolution
        72, 0,       // vertical resolution
    };
    const uint8_t planesAndLines[] = {
        planes,                             // colour planes
        bytesPerLineLow, bytesPerLineHigh,  // bytes per line and plane
        1, 0,                               // colour palette
    };
    return Bytes(start) + std::string(48, '\0') /* the 16-colour palette */ + std::string(1, '\0') /* reserved */ +
           Bytes(planesAndLines) + std::string(58, '\0') /* filler */;
}

// The index of pixel (x, y) from the top left in the cut-short picture
// below: never 0, and below 0xC0 so that each is one literal byte.
uint8_t CutShortIndex(int x, int y) { return static_cast<uint8_t>(1 + (x * 3 + y * 5) % 190); }

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

TEST_F(Pcx, AHeaderClaimingMoreThanTheFileHoldsCostsNothing) {
    const uint8_t run[] = {0xFF, 0x07};  // 63 bytes of index 7
    for (const std::string& bytes : {
             HugeHeader(1, 0x80, 0x3E) + Bytes(run),  // 8 bits: 256 MB
             HugeHeader(3, 0x80, 0x3E) + Bytes(run),  // 24 bits in three planes: 768 MB
             HugeHeader(1, 0x01, 0x00) + Bytes(run),  // lines of one byte, yet 256 MB of canvas
         }) {
        ASSERT_EQ(bytes.size(), 130u);
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
        EXPECT_EQ(loaded.message(), "Not enough Memory!") << static_cast<int>(bytes[65]) << " " << static_cast<int>(bytes[66]);
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
    }
}

TEST_F(Pcx, EveryRunMayStandFor63Bytes) {
    // 1512 x 1000 at 8 bits in 48 KiB: every line 24 runs of 63 bytes, more
    // than lines stored as they are could ever describe.
    std::string bytes = Header(8, 1512, 1000, 1, 1512);
    for (int y = 0; y < 1000; ++y) {
        for (int run = 0; run < 24; ++run) bytes += {'\xFF', static_cast<char>(y % 200)};
    }
    ASSERT_LT(bytes.size(), test::kSmallFileBytes);
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.ok()) << picture.message();
    ASSERT_EQ(picture.canvas->width(), 1512);
    ASSERT_EQ(picture.canvas->height(), 1000);
    for (int y = 0; y < 1000; ++y) {
        const uint8_t* row = picture.canvas->Row(999 - y);
        ASSERT_EQ(std::count(row, row + 1512, static_cast<uint8_t>(y % 200)), 1512) << "line " << y;
    }
}

TEST_F(Pcx, AFileCutShortKeepsWhatItHoldsAndTheRestIsBlack) {
    // 1024 x 1100 indices, each line 1024 literal bytes.
    std::string full = Header(8, 1024, 1100, 1, 1024);
    for (int y = 0; y < 1100; ++y) {
        for (int x = 0; x < 1024; ++x) full += static_cast<char>(CutShortIndex(x, y));
    }
    constexpr size_t kPixels = 1024 * 1100;
    // Cut at half, at a tenth, and inside line 100 after 33 of its pixels.
    for (const size_t whole : {kPixels / 2, kPixels / 10, size_t{100 * 1024 + 33}}) {
        const auto picture = Load(full.substr(0, 128 + whole));
        ASSERT_TRUE(picture.ok()) << whole << ": " << picture.message();
        int wrong = 0;
        for (int y = 0; y < 1100; ++y) {
            const uint8_t* row = picture.canvas->Row(1099 - y);
            for (int x = 0; x < 1024; ++x) {
                const bool held = static_cast<size_t>(y) * 1024 + x < whole;
                if (row[x] != (held ? CutShortIndex(x, y) : 0)) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << whole << " pixels held";
    }
}

}  // namespace
}  // namespace marbleye
