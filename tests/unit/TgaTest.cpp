#include <gtest/gtest.h>

#include <algorithm>

#include "formats/classic/Netpbm.h"
#include "formats/classic/Tga.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

// An 18-byte header: image type, colour map (first, length, bits), size,
// depth and descriptor.
std::string Header(int type, int width, int height, int depth, int descriptor, int mapLength = 0, int mapBits = 0) {
    std::string h(18, '\0');
    h[1] = static_cast<char>(mapLength > 0 ? 1 : 0);
    h[2] = static_cast<char>(type);
    h[5] = static_cast<char>(mapLength & 0xFF), h[6] = static_cast<char>(mapLength >> 8);
    h[7] = static_cast<char>(mapBits);
    h[12] = static_cast<char>(width), h[14] = static_cast<char>(height);
    h[16] = static_cast<char>(depth), h[17] = static_cast<char>(descriptor);
    return h;
}

template <size_t N>
std::string Bytes(const uint8_t (&bytes)[N]) {
    return std::string(reinterpret_cast<const char*>(bytes), N);
}

// The colour of pixel (x, y) from the top left in the cut-short pictures
// below, never black.
Colour CutShortColour(int x, int y) { return Colour{1 + (x * 3 + y) % 250, 1 + y % 250, 1 + (x ^ y) % 250}; }

// A 1024 x 512 true-colour Targa, top row first: stored, or in raw packets
// of 128 pixels.
std::string CutShortSource(bool runLength) {
    std::string bytes = Header(runLength ? 10 : 2, 0, 0, 24, 0x20);
    bytes[13] = 1024 >> 8, bytes[15] = 512 >> 8;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (runLength && x % 128 == 0) bytes += '\x7F';  // 128 pixels as they are
            const Colour c = CutShortColour(x, y);
            bytes += {static_cast<char>(c[2]), static_cast<char>(c[1]), static_cast<char>(c[0])};
        }
    }
    return bytes;
}

// Where the source above ends after its first `pixels` pixels.
size_t LengthOfPixels(bool runLength, size_t pixels) {
    if (!runLength) return 18 + pixels * 3;
    return 18 + pixels / 128 * (1 + 128 * 3) + (pixels % 128 > 0 ? 1 + pixels % 128 * 3 : 0);
}

class Tga : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes) { return LoadBytes(bytes, "picture.tga"); }
};

TEST_F(Tga, Messages) {
    EXPECT_EQ(Load(Header(4, 1, 1, 24, 0) + "abc").message(), "Unkown TGA Imagetype!");
    EXPECT_EQ(Load(Header(2, 1, 1, 7, 0) + "abc").message(), "Unkown TGA Imagetype!");
    EXPECT_EQ(Load("short").message(), "Unkown TGA Imagetype!");
    EXPECT_EQ(test::LoadPicture(folder_.File("none.tga")).message(), "Couldn't open TGA File!");
}

TEST_F(Tga, OrientationBits) {
    const std::string rows = std::string("\x00\x00\xFF", 3) + std::string("\xFF\x00\x00", 3);  // red row, then blue
    const auto bottomUp = Load(Header(2, 1, 2, 24, 0) + rows);
    ASSERT_TRUE(bottomUp.ok()) << bottomUp.message();
    EXPECT_EQ(test::PixelOf(bottomUp, 0, 1), (Colour{255, 0, 0})) << "descriptor bit 5 clear: the first row is the bottom";
    const auto topDown = Load(Header(2, 1, 2, 24, 0x20) + rows);
    EXPECT_EQ(test::PixelOf(topDown, 0, 0), (Colour{255, 0, 0}));
    const auto mirrored = Load(Header(2, 2, 1, 24, 0x10) + rows);
    EXPECT_EQ(test::PixelOf(mirrored, 0, 0), (Colour{0, 0, 255})) << "bit 4: right to left";
}

TEST_F(Tga, RunLengthPacketsSpanRows) {
    // One run of three grey pixels over rows of two, then a raw packet of one.
    const auto picture = Load(Header(11, 2, 2, 8, 0x20) + std::string("\x82\x40\x00\x90", 4));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{0x40, 0x40, 0x40}));
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (Colour{0x40, 0x40, 0x40}));
    EXPECT_EQ(test::PixelOf(picture, 1, 1), (Colour{0x90, 0x90, 0x90}));
}

TEST_F(Tga, SixteenBitsAndColourMaps) {
    const auto sixteen = Load(Header(2, 2, 1, 16, 0) + std::string("\x00\x7C\x1F\x00", 4));
    ASSERT_TRUE(sixteen.ok());
    EXPECT_EQ(sixteen.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(test::PixelOf(sixteen, 0, 0), (Colour{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(sixteen, 1, 0), (Colour{0, 0, 255}));

    const auto mapped = Load(Header(1, 2, 1, 8, 0, 2, 24) + std::string("\x10\x20\x30\x40\x50\x60", 6) + "\x01\x00");
    ASSERT_TRUE(mapped.ok()) << mapped.message();
    EXPECT_EQ(test::PixelOf(mapped, 0, 0), (Colour{0x60, 0x50, 0x40}));
    EXPECT_EQ(test::PixelOf(mapped, 1, 0), (Colour{0x30, 0x20, 0x10}));
    const auto mapWithAlpha = Load(Header(1, 1, 1, 8, 0, 1, 32) + std::string("\x10\x20\x30\xFF", 4) + std::string(1, '\0'));
    EXPECT_EQ(test::PixelOf(mapWithAlpha, 0, 0), (Colour{0x30, 0x20, 0x10})) << "32-bit entries lose their fourth byte";
    const auto skipped = Load(Header(1, 1, 1, 8, 0, 2, 16) + std::string("\x11\x22\x33\x44", 4) + "\x07");
    EXPECT_EQ(test::PixelOf(skipped, 0, 0), (Colour{7, 7, 7})) << "15- and 16-bit maps give the grey ramp";
}

TEST_F(Tga, WriterOptionsRoundTrip) {
    const test::RgbImage pattern = test::MakePalettePattern(300, 5, {0x112233, 0x112233, 0x112233, 0xFF0000});
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
    for (bool runLength : {false, true}) {
        for (bool topDown : {false, true}) {
            const std::string path = folder_.File("out.tga");
            ASSERT_TRUE(WriteTga(path, canvas, TgaWriteOptions{runLength, topDown}, QuietHost()).ok());
            const std::string bytes = test::ReadFileBytes(path);
            EXPECT_EQ(bytes[2], runLength ? 10 : 2);
            EXPECT_EQ(static_cast<uint8_t>(bytes[17]), topDown ? 0x20 : 0);
            if (!runLength) {
                EXPECT_EQ(bytes.size(), 18u + 300u * 5u * 3u);
            }
            const auto back = test::LoadPicture(path);
            ASSERT_TRUE(back.ok());
            EXPECT_EQ(test::CanvasToRgb(*back.canvas), pattern) << runLength << topDown;
        }
    }
}

TEST_F(Tga, EveryTruncationGivesAPictureOrAMessage) {
    const std::string bytes = Header(10, 3, 3, 24, 0) + std::string("\x82\x01\x02\x03\x01\x04\x05\x06\x07\x08\x09\x84\x0A\x0B\x0C", 15);
    for (size_t length = 0; length <= bytes.size(); ++length) {
        const auto picture = Load(bytes.substr(0, length));
        if (picture.ok()) {
            EXPECT_EQ(picture.canvas->width(), 3);
        }
    }
}

TEST_F(Tga, AHeaderClaimingMoreThanTheFileHoldsCostsNothing) {
    // 16000 x 16000 true-colour pixels would take 768 MB.
    const uint8_t stored[] = {
        0,           // no image identifier
        0,           // no colour map
        2,           // stored true colour
        0, 0,        // first colour map entry
        0, 0,        // colour map length
        0,           // colour map entry bits
        0, 0, 0, 0,  // origin
        0x80, 0x3E,  // width 16000
        0x80, 0x3E,  // height 16000
        24,          // bits per pixel
        0x20,        // top row first
        1, 2, 3,     // one pixel
    };
    const uint8_t runLength[] = {
        0,           // no image identifier
        0,           // no colour map
        10,          // run-length true colour
        0, 0,        // first colour map entry
        0, 0,        // colour map length
        0,           // colour map entry bits
        0, 0, 0, 0,  // origin
        0x80, 0x3E,  // width 16000
        0x80, 0x3E,  // height 16000
        24,          // bits per pixel
        0x20,        // top row first
        0xFF,        // a packet repeating the next pixel 128 times
        1, 2, 3,     // the pixel
    };
    for (const std::string& bytes : {Bytes(stored), Bytes(runLength)}) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
        EXPECT_EQ(loaded.message(), "Not enough Memory!") << bytes.size();
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << bytes.size();
    }
}

TEST_F(Tga, EveryRunLengthPacketMayStandFor128Pixels) {
    // 2048 x 1024 grey pixels in 32 KiB: each row sixteen packets of 128
    // copies of the row's grey, more than stored rows could ever describe.
    std::string bytes = Header(11, 0, 0, 8, 0);
    bytes[13] = 2048 >> 8, bytes[15] = 1024 >> 8;
    for (int y = 0; y < 1024; ++y) {
        for (int packet = 0; packet < 16; ++packet) bytes += {'\xFF', static_cast<char>(y * 7)};
    }
    ASSERT_LT(bytes.size(), test::kSmallFileBytes);
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.ok()) << picture.message();
    ASSERT_EQ(picture.canvas->width(), 2048);
    ASSERT_EQ(picture.canvas->height(), 1024);
    for (int y = 0; y < 1024; ++y) {
        const uint8_t* row = picture.canvas->Row(y);  // bottom row first, as the file stores them
        ASSERT_EQ(std::count(row, row + 2048, static_cast<uint8_t>(y * 7)), 2048) << "row " << y;
    }
}

TEST_F(Tga, AFileCutShortKeepsWhatItHoldsAndTheRestIsBlack) {
    constexpr size_t kPixels = 1024 * 512;
    for (bool runLength : {false, true}) {
        const std::string full = CutShortSource(runLength);
        ASSERT_EQ(full.size(), LengthOfPixels(runLength, kPixels));
        // Cut at half, at a tenth, and inside row 100 after 33 of its pixels.
        for (const size_t whole : {kPixels / 2, kPixels / 10, size_t{100 * 1024 + 33}}) {
            const auto picture = Load(full.substr(0, LengthOfPixels(runLength, whole)));
            ASSERT_TRUE(picture.ok()) << runLength << " " << whole << ": " << picture.message();
            const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
            int wrong = 0;
            for (int y = 0; y < 512; ++y) {
                for (int x = 0; x < 1024; ++x) {
                    const bool held = static_cast<size_t>(y) * 1024 + x < whole;
                    const uint8_t* p = rgb.At(x, y);
                    if (Colour{p[0], p[1], p[2]} != (held ? CutShortColour(x, y) : Colour{0, 0, 0})) ++wrong;
                }
            }
            EXPECT_EQ(wrong, 0) << "rle " << runLength << ", " << whole << " pixels held";
        }
    }
}

TEST(Netpbm, HeadersAndGrey) {
    test::TempFolder folder;
    const test::RgbImage picture{3, 1, {255, 255, 255, 255, 0, 0, 10, 20, 30}};
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(picture, canvas));
    ASSERT_TRUE(WritePgm(folder.File("a.pgm"), canvas, QuietHost()).ok());
    ASSERT_TRUE(WritePpm(folder.File("a.ppm"), canvas, QuietHost()).ok());
    const std::string pgm = test::ReadFileBytes(folder.File("a.pgm"));
    EXPECT_EQ(pgm.rfind("P5\n# This file was saved using Marbleye !\n# ", 0), 0u);
    EXPECT_EQ(pgm.substr(pgm.size() - 3), std::string("\xFF\x4C\x12", 3)) << "255, 76 (0.299 x 255), 18";
    const auto ppm = test::FromPnm(test::ReadFileBytes(folder.File("a.ppm")));
    ASSERT_TRUE(ppm);
    EXPECT_EQ(*ppm, picture);
    ImageCanvas empty;
    EXPECT_EQ(WritePpm(folder.File("b.ppm"), empty, QuietHost()).message(), "Couldn't open file to write PPM Data!");
}

}  // namespace
}  // namespace marbleye
