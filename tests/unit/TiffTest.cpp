#include <gtest/gtest.h>

#include <vector>

#include "formats/tiff/Tiff.h"
#include "formats/tiff/TiffOrientation.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

class TiffReader : public test::ReaderTest {
protected:
    std::string MakeTiff(int32_t compression, int32_t width = 30, int32_t height = 20) {
        ImageCanvas canvas;
        EXPECT_TRUE(test::CanvasFromRgb(test::MakePattern(width, height), canvas));
        const std::string path = folder_.File("made.tif");
        EXPECT_TRUE(WriteTiff(path, canvas, compression, QuietHost()));
        return test::ReadFileBytes(path);
    }
    // A little-endian TIFF header with one directory of the given short and
    // long entries (tag, type, value), followed by a few data bytes.
    static std::string Directory(const std::vector<std::array<uint32_t, 3>>& entries) {
        std::string bytes = std::string("II*\0", 4) + std::string("\x08\0\0\0", 4);
        const auto put = [&](uint32_t value, int size) {
            for (int i = 0; i < size; ++i) bytes += char((value >> (8 * i)) & 0xFF);
        };
        put(static_cast<uint32_t>(entries.size()), 2);
        for (const auto& [tag, type, value] : entries) {
            put(tag, 2), put(type, 2), put(1, 4), put(value, 4);
        }
        put(0, 4);
        return bytes + std::string(64, '\x55');
    }
};

TEST_F(TiffReader, RoundTripsOfTheLosslessCompressions) {
    const test::RgbImage source = test::MakePattern(30, 20);
    for (const int32_t compression : {0, 1, 2, 4}) {
        const auto picture = LoadBytes(MakeTiff(compression), "round.tif");
        ASSERT_TRUE(picture.ok()) << compression << ": " << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, 24);
        EXPECT_EQ(test::CanvasToRgb(*picture.canvas), source) << compression;
    }
}

TEST_F(TiffReader, Messages) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.tif")).message(), "Couldn't open TIF File!");
    EXPECT_EQ(LoadBytes("GIF89a and more", "fake.tif").message(), "Couldn't open TIF File!");
    // 1 x 1 with 12-bit samples: the RGBA reader refuses them.
    const std::string twelveBits = Directory({{256, 3, 1}, {257, 3, 1}, {258, 3, 12}, {262, 3, 1}, {273, 4, 200},
                                              {277, 3, 1}, {279, 4, 2}});
    EXPECT_EQ(LoadBytes(twelveBits, "twelve.tif").message(), "Error during LoadProcess occured!");
}

TEST_F(TiffReader, HostileSizesAreRefusedBeforeAllocation) {
    // 100000 x 100000 gray, one strip of 2 bytes at offset 200.
    const std::string huge = Directory({{256, 4, 100000}, {257, 4, 100000}, {258, 3, 8}, {262, 3, 1}, {273, 4, 200},
                                        {277, 3, 1}, {279, 4, 2}});
    EXPECT_LT(test::PeakMemoryGrowthKb([&] {
        EXPECT_EQ(LoadBytes(huge, "huge.tif").message(), "Not enough Memory available!");
    }), test::kModestGrowthKb);
    const std::string wideRgba = Directory({{256, 4, 1000000}, {257, 4, 100000}, {258, 3, 16}, {262, 3, 1},
                                            {273, 4, 200}, {277, 3, 1}, {279, 4, 2}});
    EXPECT_EQ(LoadBytes(wideRgba, "deep.tif").message(), "Out of Memory!");
    // 65281 samples of 65535 bits: the depth must not overflow on the way to a message.
    const std::string absurdDepth = Directory({{256, 4, 4000}, {257, 4, 4000}, {258, 3, 65535}, {262, 3, 2},
                                               {273, 4, 200}, {277, 3, 65281}, {279, 4, 2}});
    EXPECT_FALSE(LoadBytes(absurdDepth, "absurd.tif").ok());
}

// Directories of large pictures over a few bytes of data: each passes the
// pixel gate, none can come out of the file by its compression's largest
// ratio. Tags: 256 width, 257 height, 258 bits a sample, 259 compression,
// 262 photometric (0 white is zero, 1 black is zero), 273 strip offset,
// 277 samples a pixel, 279 strip bytes. They go in the order of what they
// would cost, since the peak memory only grows.
TEST_F(TiffReader, PicturesTheFileCannotHoldAreRefusedBeforeAllocating) {
    const std::vector<std::pair<const char*, std::string>> files = {
        // Group 4 spends at least a bit on a row: 3750 bytes for 30000 rows of 112 MB.
        {"Group 4 fax", Directory({{256, 4, 30000}, {257, 4, 30000}, {258, 3, 1}, {259, 3, 4}, {262, 3, 0},
                                   {273, 4, 200}, {277, 3, 1}, {279, 4, 64}})},
        {"stored gray, row by row", Directory({{256, 4, 16000}, {257, 4, 16000}, {258, 3, 8}, {259, 3, 1},
                                               {262, 3, 1}, {273, 4, 200}, {277, 3, 1}, {279, 4, 64}})},
        {"LZW gray", Directory({{256, 4, 16000}, {257, 4, 20000}, {258, 3, 8}, {259, 3, 5}, {262, 3, 1},
                                {273, 4, 200}, {277, 3, 1}, {279, 4, 64}})},
        {"16-bit gray, whole", Directory({{256, 4, 16000}, {257, 4, 16000}, {258, 3, 16}, {259, 3, 1},
                                          {262, 3, 1}, {273, 4, 200}, {277, 3, 1}, {279, 4, 64}})},
    };
    for (const auto& file : files) {
        ASSERT_LT(file.second.size(), test::kSmallFileBytes);
        EXPECT_LT(test::PeakMemoryGrowthKb([&] {
            EXPECT_EQ(LoadBytes(file.second, "claims-more.tif").message(), "Error during LoadProcess occured!")
                << file.first;
        }), test::kSmallFileGrowthLimitKb) << file.first;
    }
}

// The preview of an EPS file goes through the whole-picture reader, with its
// own text for a picture the gate refuses.
TEST_F(TiffReader, PreviewsInMemoryAreBoundedAndHaveTheirOwnOutOfMemoryText) {
    const auto preview = [](const std::string& bytes) {
        ImageCanvas canvas;
        CurrentImage image;
        const LoadOptions options;
        LoadContext context{canvas, image, options, QuietHost()};
        return ReadTiffPreview(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), context);
    };
    const std::string beyondTheGate = Directory({{256, 4, 100000}, {257, 4, 100000}, {258, 3, 8}, {262, 3, 1},
                                                 {273, 4, 200}, {277, 3, 1}, {279, 4, 2}});
    EXPECT_EQ(preview(beyondTheGate).message(), "Not enough Memory available!");
    const std::string beyondTheFile = Directory({{256, 4, 16000}, {257, 4, 16000}, {258, 3, 8}, {262, 3, 1},
                                                 {273, 4, 200}, {277, 3, 1}, {279, 4, 2}});
    EXPECT_LT(test::PeakMemoryGrowthKb([&] {
        EXPECT_EQ(preview(beyondTheFile).message(), "Error during LoadProcess occured!");
    }), test::kSmallFileGrowthLimitKb);
    EXPECT_TRUE(preview(MakeTiff(0)).ok());
}

// A stored picture of 5 x 3 distinct pixels turned by the named operation of
// each orientation, at every canvas depth: a pixel of value v is v at 8 bits
// and more (in every byte), v & 15 at 4 bits, v & 1 at 1 bit.
TEST(TiffOrientation, EveryPixelGoesWhereItsOrientationShowsIt) {
    constexpr uint32_t kWidth = 5, kHeight = 3;
    using Grid = std::vector<std::vector<int>>;  // [row from the top][column]
    Grid stored(kHeight, std::vector<int>(kWidth));
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) stored[y][x] = static_cast<int>(y * kWidth + x + 1);
    }
    const auto mirror = [](Grid g) {
        for (auto& row : g) std::reverse(row.begin(), row.end());
        return g;
    };
    const auto flip = [](Grid g) {
        std::reverse(g.begin(), g.end());
        return g;
    };
    const auto transpose = [](const Grid& g) {
        Grid t(g[0].size(), std::vector<int>(g.size()));
        for (size_t y = 0; y < g.size(); ++y) {
            for (size_t x = 0; x < g[0].size(); ++x) t[x][y] = g[y][x];
        }
        return t;
    };
    // 6 turns the stored picture a quarter clockwise, 8 a quarter the other way.
    const std::vector<Grid> shown = {stored,
                                     mirror(stored),
                                     flip(mirror(stored)),
                                     flip(stored),
                                     transpose(stored),
                                     mirror(transpose(stored)),
                                     flip(mirror(transpose(stored))),
                                     flip(transpose(stored))};
    for (const int32_t depth : {1, 4, 8, 24, 32}) {
        const auto level = [depth](int v) { return depth == 1 ? (v & 1) : depth == 4 ? (v & 15) : v; };
        std::vector<std::vector<uint8_t>> rows(kHeight, std::vector<uint8_t>(kWidth * 4, 0));
        for (uint32_t y = 0; y < kHeight; ++y) {
            for (uint32_t x = 0; x < kWidth; ++x) {
                const int v = level(stored[y][x]);
                if (depth == 1) rows[y][x / 8] |= static_cast<uint8_t>(v << (7 - x % 8));
                if (depth == 4) rows[y][x / 2] |= static_cast<uint8_t>(x % 2 ? v : v << 4);
                for (int b = 0; b < depth / 8; ++b) rows[y][x * (depth / 8) + b] = static_cast<uint8_t>(v);
            }
        }
        for (uint16_t orientation = 1; orientation <= 8; ++orientation) {
            const Grid& expected = shown[orientation - 1];
            const auto width = static_cast<int32_t>(expected[0].size()), height = static_cast<int32_t>(expected.size());
            ImageCanvas canvas;
            ASSERT_TRUE(canvas.Create(width, height, depth, 0, Palette256{}));
            tiff::OrientedRows placed(canvas, kWidth, kHeight, orientation);
            for (uint32_t y = 0; y < kHeight; ++y) placed.Put(rows[y].data(), y);
            for (int32_t y = 0; y < height; ++y) {
                const uint8_t* row = canvas.Row(height - 1 - y);
                for (int32_t x = 0; x < width; ++x) {
                    const int actual = depth == 1   ? (row[x / 8] >> (7 - x % 8)) & 1
                                       : depth == 4 ? (x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4)
                                                    : row[x * (depth / 8) + (depth / 8 - 1)];
                    EXPECT_EQ(actual, level(expected[y][x]))
                        << "depth " << depth << ", orientation " << orientation << ", at " << x << "," << y;
                }
            }
        }
    }
    EXPECT_FALSE(tiff::ExchangesSides(4));
    EXPECT_TRUE(tiff::ExchangesSides(5));
    EXPECT_FALSE(tiff::ExchangesSides(0)) << "an unknown value counts as the stored order";
}

TEST_F(TiffReader, TruncatedFilesNeverCrash) {
    for (const int32_t compression : {0, 2, 3}) {
        const std::string tiff = MakeTiff(compression);
        for (size_t length = 0; length < tiff.size(); length += 13) {
            const auto picture = LoadBytes(tiff.substr(0, length), "cut.tif");
            if (!picture.ok()) {
                EXPECT_FALSE(picture.message().empty()) << length;
            }
        }
    }
}

}  // namespace
}  // namespace marbleye
