#include <gtest/gtest.h>

#include <algorithm>

#include "formats/alias/AliasPix.h"
#include "support/MemoryUse.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

std::string Be16(uint16_t v) { return std::string{static_cast<char>(v >> 8), static_cast<char>(v)}; }

// The ten-byte header: width, height, x and y offset, bits per pixel.
std::string Header(uint16_t width, uint16_t height, uint16_t bits, uint16_t xOffset = 0, uint16_t yOffset = 0) {
    return Be16(width) + Be16(height) + Be16(xOffset) + Be16(yOffset) + Be16(bits);
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

class AliasPix : public ::testing::Test {
protected:
    test::LoadedPicture Load(const std::string& bytes, const std::string& name = "picture.pix") {
        const std::string path = folder_.File(name);
        test::WriteFileBytes(path, bytes);
        return test::LoadPicture(path);
    }
    test::TempFolder folder_;
};

TEST_F(AliasPix, Messages) {
    EXPECT_EQ(test::LoadPicture(folder_.File("none.pix")).message(), "Couldn't open PIX File!");
    EXPECT_EQ(Load(Header(2, 2, 16) + Bytes({4, 1, 2, 3})).message(), "Unsupported Bitdepth!");
    EXPECT_EQ(Load(Header(2, 2, 32)).message(), "Unsupported Bitdepth!");
    EXPECT_EQ(Load(Header(0, 2, 8) + Bytes({2, 7})).message(), "Invalid Imagesize!");
    EXPECT_EQ(Load(Header(2, 0, 24) + Bytes({2, 7, 7, 7})).message(), "Invalid Imagesize!");
    EXPECT_EQ(Load(Header(2, 2, 8).substr(0, 9)).message(), "Invalid Imagesize!") << "a short header";
}

TEST_F(AliasPix, GreyRunsEndWithTheirRow) {
    // 5 x 3 at 8 bits, offsets 7 and 9 (ignored).
    const std::string bytes = Header(5, 3, 8, 7, 9) +
                              Bytes({2, 10, 0, 99, 9, 20}) +  // row 0: 10 10, an empty run, then 20 x 3 of 9
                              Bytes({1, 30, 4, 40}) +         // row 1: 30, 40 40 40 40
                              Bytes({5, 255});                // row 2: 255 x 5
    for (const char* name : {"grey.pix", "grey.mat"}) {
        const auto picture = Load(bytes, name);
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, 8);
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 8);
        const int expected[3][5] = {{10, 10, 20, 20, 20}, {30, 40, 40, 40, 40}, {255, 255, 255, 255, 255}};
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const int g = expected[y][x];
                EXPECT_EQ(test::PixelOf(picture, x, y), (Colour{g, g, g})) << name << " " << x << "," << y;
            }
        }
    }
}

TEST_F(AliasPix, ColourRunsAreBlueGreenRedAndEndWithTheirRow) {
    // 3 x 2 at 24 bits: a run of 5 covers row 0 and is cut; row 1 has its own runs.
    const auto picture = Load(Header(3, 2, 24) + Bytes({5, 0x30, 0x20, 0x10}) + Bytes({1, 0xFF, 0, 0, 2, 0, 0, 0xFF}));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(test::PixelOf(picture, x, 0), (Colour{0x10, 0x20, 0x30}));
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (Colour{0, 0, 0xFF})) << "blue comes first";
    EXPECT_EQ(test::PixelOf(picture, 1, 1), (Colour{0xFF, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 2, 1), (Colour{0xFF, 0, 0}));
}

TEST_F(AliasPix, WriterRoundTripsOddSizesAndPalettedCanvases) {
    const std::string path = folder_.File("out.pix");
    for (const test::RgbImage& pattern : {test::MakePattern(37, 21), test::MakePattern(1, 1), test::MakePattern(600, 3),
                                          test::MakePalettePattern(301, 7, {0x102030, 0x102030, 0xFF0000, 0x0000FF})}) {
        ImageCanvas canvas;
        ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
        ASSERT_TRUE(WriteAliasPix(path, canvas, QuietHost()).ok());
        const auto back = test::LoadPicture(path);
        ASSERT_TRUE(back.ok()) << back.message();
        EXPECT_EQ(back.image.fileBitDepth, 24);
        const test::RgbImage ours = test::CanvasToRgb(*back.canvas);
        EXPECT_EQ(ours, pattern) << pattern.width << ": " << test::FirstDifference(pattern, ours);
    }
    // An 8-bit canvas is written through its colours.
    const auto grey = Load(Header(3, 1, 8) + Bytes({1, 5, 2, 200}), "grey.pix");
    ASSERT_TRUE(grey.ok());
    ASSERT_TRUE(WriteAliasPix(path, *grey.canvas, QuietHost()).ok());
    EXPECT_EQ(test::ReadFileBytes(path), Header(3, 1, 24) + Bytes({1, 5, 5, 5, 2, 200, 200, 200}));
}

TEST_F(AliasPix, WriterStoresTopRowFirstInRunsOfAtMost255) {
    // 300 x 2: the top row all one colour, the bottom row two colours.
    test::RgbImage picture{300, 2, {}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 300; ++x) {
            const bool left = y == 1 && x < 10;
            picture.rgb.insert(picture.rgb.end(),
                               {uint8_t(left ? 1 : 0xAA), uint8_t(left ? 2 : 0xBB), uint8_t(left ? 3 : 0xCC)});
        }
    }
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(picture, canvas));
    const std::string path = folder_.File("runs.pix");
    ASSERT_TRUE(WriteAliasPix(path, canvas, QuietHost()).ok());
    const std::string expected = Bytes({0x01, 0x2C, 0x00, 0x02, 0, 0, 0, 0, 0, 24}) +    // 300 x 2, 24 bits
                                 Bytes({255, 0xCC, 0xBB, 0xAA, 45, 0xCC, 0xBB, 0xAA}) +  // top row
                                 Bytes({10, 3, 2, 1, 255, 0xCC, 0xBB, 0xAA, 35, 0xCC, 0xBB, 0xAA});
    EXPECT_EQ(test::ReadFileBytes(path), expected);
}

TEST_F(AliasPix, AFailedSaveLeavesTheOldFile) {
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(4, 4), canvas));
    EXPECT_EQ(WriteAliasPix(folder_.File("missing/out.pix"), canvas, QuietHost()).message(),
              "Unable to open file for Saving! Aborting...");
    ImageCanvas empty;
    const std::string path = folder_.File("old.pix");
    test::WriteFileBytes(path, "old");
    EXPECT_EQ(WriteAliasPix(path, empty, QuietHost()).message(), "Unable to open file for Saving! Aborting...");
    EXPECT_EQ(test::ReadFileBytes(path), "old");
}

TEST_F(AliasPix, AHeaderClaimingMoreThanTheFileHoldsCostsNothing) {
    // 65535 x 65535 pixels would take 12 GB at 24 bits and 4 GB at 8.
    for (uint16_t bits : {24, 8}) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] {
            loaded = Load(Header(0xFFFF, 0xFFFF, bits) + Bytes({255, 1, 2, 3}));
        });
        EXPECT_EQ(loaded.message(), "Invalid Imagesize!") << bits;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << bits;
    }
    // 4000 x 4000 grey pixels claimed by a file of 4 KiB.
    EXPECT_EQ(Load(Header(4000, 4000, 8) + std::string(4096, '\xFF')).message(), "Invalid Imagesize!");
}

TEST_F(AliasPix, EveryRunMayStandFor255Pixels) {
    // 2550 x 1000 grey pixels (2.5 MB) in 20 KB: ten runs of 255 a row.
    std::string bytes = Header(2550, 1000, 8);
    for (int y = 0; y < 1000; ++y) {
        for (int run = 0; run < 10; ++run) bytes += Bytes({255, (y + run) % 256});
    }
    ASSERT_LT(bytes.size(), test::kSmallFileBytes);
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.ok()) << picture.message();
    int wrong = 0;
    for (int y = 0; y < 1000; ++y) {
        const uint8_t* row = picture.canvas->Row(999 - y);
        for (int x = 0; x < 2550; ++x) wrong += row[x] != (y + x / 255) % 256;
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(AliasPix, EveryCutLengthLoadsOrFailsAndKeepsWhatWasRead) {
    const test::RgbImage pattern = test::MakePattern(23, 9);
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
    const std::string path = folder_.File("whole.pix");
    ASSERT_TRUE(WriteAliasPix(path, canvas, QuietHost()).ok());
    const std::string whole = test::ReadFileBytes(path);
    for (size_t length = 0; length < whole.size(); ++length) {
        const auto picture = Load(whole.substr(0, length), "cut.pix");
        if (length < 10) {
            EXPECT_EQ(picture.message(), "Invalid Imagesize!") << length;
            continue;
        }
        ASSERT_TRUE(picture.ok()) << length << ": " << picture.message();
        // Pixels are whole runs, decoded in file order: every pixel is the
        // pattern's or black, and black only after the last one decoded.
        const test::RgbImage ours = test::CanvasToRgb(*picture.canvas);
        bool ended = false;
        int wrong = 0;
        size_t shown = 0;
        for (int y = 0; y < pattern.height; ++y) {
            for (int x = 0; x < pattern.width; ++x) {
                const bool same = std::equal(ours.At(x, y), ours.At(x, y) + 3, pattern.At(x, y));
                const bool black = ours.At(x, y)[0] == 0 && ours.At(x, y)[1] == 0 && ours.At(x, y)[2] == 0;
                if (!same) ended = true;
                if (ended && !black) ++wrong;
                if (!ended) ++shown;
            }
        }
        EXPECT_EQ(wrong, 0) << length;
        EXPECT_GE(shown, (length - 10) / 4) << "every whole run read is shown, at " << length;
    }
}

}  // namespace
}  // namespace marbleye
