#include <gtest/gtest.h>

#include <algorithm>

#include "formats/classic/SunRaster.h"
#include "support/MemoryUse.h"
#include "support/TempFolder.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

std::string Word(uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
}

// The 32-byte header: size, depth, type and colour map.
std::string Header(uint32_t width, uint32_t height, uint32_t depth, uint32_t type, uint32_t mapType = 0,
                   uint32_t mapLength = 0) {
    return Word(0x59A66A95) + Word(width) + Word(height) + Word(depth) + Word(0) + Word(type) + Word(mapType) +
           Word(mapLength);
}

template <size_t N>
std::string Bytes(const uint8_t (&bytes)[N]) {
    return std::string(reinterpret_cast<const char*>(bytes), N);
}

// The grey of pixel (x, y) from the top left in the cut-short picture below,
// never black.
uint8_t CutShortGrey(int x, int y) { return static_cast<uint8_t>(1 + (x * 3 + y * 5) % 250); }

using CountingHost = test::MessageRecorder;

class SunRaster : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes, Host& host = QuietHost()) {
        return LoadBytes(bytes, "picture.ras", LoadOptions(), host);
    }
};

TEST_F(SunRaster, Messages) {
    EXPECT_EQ(Load("junk").message(), "Not a valid SUN Raster File!");
    EXPECT_EQ(Load(Header(1, 1, 8, 6)).message(), "the type of this SUN-rasterfile is not supported");
    EXPECT_EQ(Load(Header(1, 1, 8, 1, 2, 6)).message(), "type of colourmap not supported");
    EXPECT_EQ(Load(Header(1, 1, 4, 1)).message(), "Unkown ImageType!");
    EXPECT_EQ(Load(Header(1, 1, 8, 1, 1, 6) + "\x01").message(), "cant read colour entries");
    EXPECT_EQ(test::LoadPicture(folder_.File("none.ras")).message(), "can't open file for reading");
}

TEST_F(SunRaster, DepthsPaddingAndMaps) {
    const auto bits = Load(Header(3, 2, 1, 1) + std::string("\xA0\x00\x40\x00", 4));
    ASSERT_TRUE(bits.ok()) << bits.message();
    EXPECT_EQ(test::PixelOf(bits, 0, 0), (Colour{0, 0, 0})) << "a set bit is black";
    EXPECT_EQ(test::PixelOf(bits, 1, 0), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(bits, 1, 1), (Colour{0, 0, 0})) << "rows padded to 16 bits";

    const auto mapped = Load(Header(3, 2, 8, 1, 1, 6) + std::string("\x0A\x14\x1E\x28\x32\x3C", 6) +
                             std::string("\x01\x00\x01\x00\x00\x00\x01\x00", 8));
    ASSERT_TRUE(mapped.ok()) << mapped.message();
    EXPECT_EQ(test::PixelOf(mapped, 0, 0), (Colour{0x14, 0x28, 0x3C})) << "reds, then greens, then blues";
    EXPECT_EQ(test::PixelOf(mapped, 0, 1), (Colour{0x0A, 0x1E, 0x32})) << "an odd width is padded";

    const auto odd = Load(Header(1, 2, 24, 1) + std::string("\x01\x02\x03\x00\x04\x05\x06\x00", 8));
    EXPECT_EQ(test::PixelOf(odd, 0, 1), (Colour{6, 5, 4})) << "24-bit rows are padded to 16 bits too";
    const auto rgbOrder = Load(Header(1, 1, 24, 3) + std::string("\x01\x02\x03\x00", 4));
    EXPECT_EQ(test::PixelOf(rgbOrder, 0, 0), (Colour{1, 2, 3})) << "type 3 stores red first";

    const auto standard = Load(Header(1, 1, 32, 1) + std::string("\x00\x11\x22\x33", 4));
    EXPECT_EQ(test::PixelOf(standard, 0, 0), (Colour{0x11, 0x22, 0x33}));
    const auto rgbType = Load(Header(1, 1, 32, 3) + std::string("\x00\x11\x22\x33", 4));
    EXPECT_EQ(test::PixelOf(rgbType, 0, 0), (Colour{0x33, 0x22, 0x11}));
}

TEST_F(SunRaster, ByteEncodingCarriesRunsAcrossRowsAndReportsAnEarlyEnd) {
    // Rows of two grey bytes: a run of three 0x40, one escaped 0x80, then the file ends.
    CountingHost host;
    const auto picture = Load(Header(2, 3, 8, 2) + std::string("\x80\x02\x40\x80\x00", 5), host);
    ASSERT_TRUE(picture.ok()) << "the partial picture is shown";
    EXPECT_EQ(picture.canvas->Row(2)[1], 0x40);
    EXPECT_EQ(picture.canvas->Row(1)[0], 0x40);
    EXPECT_EQ(picture.canvas->Row(1)[1], 0x80);
    EXPECT_EQ(host.messages, "EOF encountered on reading|");
}

TEST_F(SunRaster, WriterRoundTripsAndEscapesASingle0x80) {
    const test::RgbImage pattern = test::MakePalettePattern(37, 5, {0x808080, 0x808080, 0x123456, 0x800000});
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
    for (bool runLength : {false, true}) {
        const std::string path = folder_.File("out.ras");
        ASSERT_TRUE(WriteSunRaster(path, canvas, runLength, QuietHost()).ok());
        const auto back = test::LoadPicture(path);
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(test::CanvasToRgb(*back.canvas), pattern) << runLength;
    }
    test::RgbImage one{1, 1, {0x80, 0x01, 0x02}};
    ASSERT_TRUE(test::CanvasFromRgb(one, canvas));
    ASSERT_TRUE(WriteSunRaster(folder_.File("one.ras"), canvas, true, QuietHost()).ok());
    // Blue 0x02, green 0x01, red 0x80 and the pad byte 0.
    EXPECT_EQ(test::ReadFileBytes(folder_.File("one.ras")).substr(32), std::string("\x02\x01\x80\x00\x00", 5));
}

TEST_F(SunRaster, HostileHeadersGiveTheReadersMessage) {
    EXPECT_EQ(Load(Header(100000, 100000, 24, 1)).message(), "Not enough Memory!");
    EXPECT_EQ(Load(Header(0, 5, 8, 1)).message(), "Unkown ImageType!");
    EXPECT_EQ(Load(Header(2, 2, 8, 1, 1, 0xFFFFFFF0u)).message(), "Can't get memory for colour map");
}

TEST_F(SunRaster, AHeaderClaimingMoreThanTheFileHoldsCostsNothing) {
    // 16000 x 16000 true-colour pixels would take 768 MB.
    const uint8_t standard[] = {
        0x59, 0xA6, 0x6A, 0x95,  // magic
        0, 0, 0x3E, 0x80,        // width 16000
        0, 0, 0x3E, 0x80,        // height 16000
        0, 0, 0, 24,             // bits per pixel
        0, 0, 0, 0,              // data length
        0, 0, 0, 1,              // standard type
        0, 0, 0, 0,              // no colour map
        0, 0, 0, 0,              // colour map length
        1, 2, 3,                 // one pixel
    };
    const uint8_t byteEncoded[] = {
        0x59, 0xA6, 0x6A, 0x95,  // magic
        0, 0, 0x3E, 0x80,        // width 16000
        0, 0, 0x3E, 0x80,        // height 16000
        0, 0, 0, 24,             // bits per pixel
        0, 0, 0, 0,              // data length
        0, 0, 0, 2,              // byte-encoded type
        0, 0, 0, 0,              // no colour map
        0, 0, 0, 0,              // colour map length
        0x80, 0xFF, 0x11,        // 256 bytes of 0x11
    };
    for (const std::string& bytes : {Bytes(standard), Bytes(byteEncoded)}) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
        EXPECT_EQ(loaded.message(), "Not enough Memory!") << static_cast<int>(bytes[23]);
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << static_cast<int>(bytes[23]);
    }
}

TEST_F(SunRaster, EveryRunMayStandFor256Bytes) {
    // 2048 x 1024 grey pixels in 24 KiB: every row eight runs of 256 bytes,
    // more than rows stored as they are could ever describe.
    std::string bytes = Header(2048, 1024, 8, 2);
    for (int y = 0; y < 1024; ++y) {
        for (int run = 0; run < 8; ++run) bytes += {'\x80', '\xFF', static_cast<char>(y % 128)};
    }
    ASSERT_LT(bytes.size(), test::kSmallFileBytes);
    CountingHost host;
    const auto picture = Load(bytes, host);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(host.messages, "");
    ASSERT_EQ(picture.canvas->width(), 2048);
    ASSERT_EQ(picture.canvas->height(), 1024);
    for (int y = 0; y < 1024; ++y) {
        const uint8_t* row = picture.canvas->Row(1023 - y);
        ASSERT_EQ(std::count(row, row + 2048, static_cast<uint8_t>(y % 128)), 2048) << "row " << y;
    }
}

TEST_F(SunRaster, AFileCutShortKeepsItsWholeRowsAndTheRestIsBlack) {
    // 1024 x 1100 grey pixels stored as they are.
    std::string full = Header(1024, 1100, 8, 1);
    for (int y = 0; y < 1100; ++y) {
        for (int x = 0; x < 1024; ++x) full += static_cast<char>(CutShortGrey(x, y));
    }
    for (const size_t rowsHeld : {550, 110}) {
        CountingHost host;
        // Half a row more than the rows held: a row the file ends in is not shown.
        const auto picture = Load(full.substr(0, 32 + rowsHeld * 1024 + 512), host);
        ASSERT_TRUE(picture.ok()) << rowsHeld << ": " << picture.message();
        EXPECT_EQ(host.messages, "EOF encountered on reading|");
        int wrong = 0;
        for (int y = 0; y < 1100; ++y) {
            const uint8_t* row = picture.canvas->Row(1099 - y);
            for (int x = 0; x < 1024; ++x) {
                if (row[x] != (static_cast<size_t>(y) < rowsHeld ? CutShortGrey(x, y) : 0)) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << rowsHeld << " rows held";
    }
}

}  // namespace
}  // namespace marbleye
