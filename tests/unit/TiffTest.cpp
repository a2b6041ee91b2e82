#include <gtest/gtest.h>

#include "formats/tiff/Tiff.h"
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
