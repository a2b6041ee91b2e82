#include <gtest/gtest.h>

#include "formats/classic/Sgi.h"
#include "support/ReaderTest.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

// A verbatim header and the channel planes, rows bottom-up.
std::string Verbatim(int width, int height, int channels, const std::string& planes, int bytesPerChannel = 1) {
    std::string h(512, '\0');
    h[0] = 0x01, h[1] = static_cast<char>(0xDA);  // 474
    h[3] = static_cast<char>(bytesPerChannel);
    h[5] = 3, h[7] = static_cast<char>(width), h[9] = static_cast<char>(height), h[11] = static_cast<char>(channels);
    return h + planes;
}

class Sgi : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes) { return LoadBytes(bytes, "picture.sgi"); }
};

TEST_F(Sgi, Messages) {
    EXPECT_EQ(Load("xx").message(), "This is not an valid SGI Image!");
    EXPECT_EQ(Load(Verbatim(1, 1, 1, "\x01\x02", 2)).message(), "Sorry, WORD Version currently not supported!");
    EXPECT_EQ(test::LoadPicture(folder_.File("none.sgi")).message(), "Couldn't open File!");
}

TEST_F(Sgi, ChannelCounts) {
    const auto grey = Load(Verbatim(2, 1, 1, "\x10\x20"));
    ASSERT_TRUE(grey.ok()) << grey.message();
    EXPECT_EQ(grey.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(test::PixelOf(grey, 1, 0), (Colour{0x20, 0x20, 0x20}));
    const auto twoChannels = Load(Verbatim(1, 1, 2, "\x33\xFF"));
    EXPECT_EQ(test::PixelOf(twoChannels, 0, 0), (Colour{0x33, 0x33, 0x33})) << "the first of two channels is the grey";
    // Four channels: red, green, blue, alpha planes; rows bottom-up.
    const auto four = Load(Verbatim(1, 2, 4, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8)));
    ASSERT_TRUE(four.ok());
    EXPECT_EQ(four.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(four.image.fileBitDepth, 32);
    EXPECT_EQ(test::PixelOf(four, 0, 1), (Colour{1, 3, 5}));
    EXPECT_EQ(test::PixelOf(four, 0, 0), (Colour{2, 4, 6}));
}

TEST_F(Sgi, EveryCompressionRoundTripsAndIdenticalRowsAreStoredOnce) {
    test::RgbImage rows{50, 40, {}};
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 50; ++x) rows.rgb.insert(rows.rgb.end(), {static_cast<uint8_t>(x * 5), 9, static_cast<uint8_t>(x)});
    }
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(rows, canvas));
    size_t sizes[3];
    for (int compression : {0, 1, 2}) {
        const std::string path = folder_.File("out.sgi");
        ASSERT_TRUE(WriteSgi(path, canvas, compression, QuietHost()).ok());
        sizes[compression] = test::ReadFileBytes(path).size();
        const auto back = test::LoadPicture(path);
        ASSERT_TRUE(back.ok()) << back.message();
        EXPECT_EQ(test::CanvasToRgb(*back.canvas), rows) << compression;
    }
    EXPECT_EQ(sizes[0], 512u + 50u * 40u * 3u);
    // Each channel's rows are identical: aggressive coding keeps one row per channel.
    const size_t tables = 2 * 40 * 3 * 4;
    EXPECT_LT(sizes[2], 512 + tables + 3 * 60);
    EXPECT_GT(sizes[1], sizes[2] + 30 * 3 * 20);
}

TEST_F(Sgi, TruncatedAndHostileRunLengthFiles) {
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(test::MakePattern(9, 5), canvas));
    const std::string path = folder_.File("full.sgi");
    ASSERT_TRUE(WriteSgi(path, canvas, 1, QuietHost()).ok());
    const std::string bytes = test::ReadFileBytes(path);
    for (size_t length = 0; length <= bytes.size(); length += 7) {
        const auto picture = Load(bytes.substr(0, length));
        EXPECT_TRUE(picture.ok() ? picture.canvas->width() == 9 : !picture.message().empty()) << length;
    }
    // Row offsets far past the end leave the rows black.
    std::string hostile = bytes;
    for (size_t i = 512; i < 512 + 30 * 8 && i < hostile.size(); ++i) hostile[i] = static_cast<char>(0xFF);
    const auto picture = Load(hostile);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{0, 0, 0}));
}

}  // namespace
}  // namespace marbleye
