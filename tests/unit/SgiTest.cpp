#include <gtest/gtest.h>

#include <algorithm>

#include "formats/classic/Sgi.h"
#include "support/MemoryUse.h"
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

template <size_t N>
std::string Bytes(const uint8_t (&bytes)[N]) {
    return std::string(reinterpret_cast<const char*>(bytes), N);
}

std::string Word(uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
}

// A 512-byte header whose first twelve bytes are given.
std::string Header(const std::string& fields) { return fields + std::string(512 - fields.size(), '\0'); }

// The grey of pixel (x, y) from the top left in the cut-short picture below,
// never black.
uint8_t CutShortGrey(int x, int y) { return static_cast<uint8_t>(1 + (x * 3 + y * 5) % 250); }

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

TEST_F(Sgi, AHeaderClaimingMoreThanTheFileHoldsCostsNothing) {
    // 16000 x 16000 colour pixels would take 768 MB.
    const uint8_t verbatim[] = {
        0x01, 0xDA,  // magic 474
        0,           // verbatim
        1,           // one byte per channel
        0, 3,        // three dimensions
        0x3E, 0x80,  // width 16000
        0x3E, 0x80,  // height 16000
        0, 3,        // three channels
    };
    const uint8_t runLength[] = {
        0x01, 0xDA,  // magic 474
        1,           // run-length
        1,           // one byte per channel
        0, 3,        // three dimensions
        0x3E, 0x80,  // width 16000
        0x3E, 0x80,  // height 16000
        0, 3,        // three channels
    };
    const uint8_t rows[] = {1, 2, 3, 4};  // a few bytes of rows (or of offsets)
    for (const std::string& bytes : {Header(Bytes(verbatim)) + Bytes(rows), Header(Bytes(runLength)) + Bytes(rows)}) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
        EXPECT_EQ(loaded.message(), "This is not an valid SGI Image!") << static_cast<int>(bytes[2]);
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << static_cast<int>(bytes[2]);
    }
}

// Run-length rows may share one run of data, so a small file honestly
// holds a large picture: its offset tables take 8 bytes per row, and beyond
// them the file needs only the runs of one row.
TEST_F(Sgi, RunLengthRowsMayShareTheirData) {
    constexpr uint32_t kWidth = 4000, kHeight = 2000;
    const uint8_t fields[] = {
        0x01, 0xDA,                     // magic 474
        1,                              // run-length
        1,                              // one byte per channel
        0, 2,                           // two dimensions
        kWidth >> 8, kWidth & 0xFF,     // width 4000
        kHeight >> 8, kHeight & 0xFF,   // height 2000
        0, 1,                           // one channel
    };
    // One row's runs: 31 runs of 127 bytes of grey 0x55, one of 63, the end.
    std::string run;
    for (int i = 0; i < 31; ++i) run += "\x7F\x55";
    run += "\x3F\x55";
    run += '\0';
    const uint32_t dataStart = 512 + kHeight * 8;
    std::string starts, lengths;
    for (uint32_t row = 0; row < kHeight; ++row) {
        starts += Word(dataStart);
        lengths += Word(static_cast<uint32_t>(run.size()));
    }
    const std::string shared = Header(Bytes(fields)) + starts + lengths + run;
    ASSERT_LT(shared.size(), test::kSmallFileBytes);
    const auto picture = Load(shared);
    ASSERT_TRUE(picture.ok()) << picture.message();
    ASSERT_EQ(picture.canvas->width(), 4000);
    ASSERT_EQ(picture.canvas->height(), 2000);
    for (uint32_t y = 0; y < kHeight; ++y) {
        const uint8_t* row = picture.canvas->Row(static_cast<int32_t>(y));
        ASSERT_EQ(std::count(row, row + kWidth, 0x55), kWidth) << "row " << y;
    }
    // Without room for one row's runs after the tables, the file is refused.
    EXPECT_EQ(Load(Header(Bytes(fields)) + starts + lengths + run.substr(0, 40)).message(),
              "This is not an valid SGI Image!");
}

TEST_F(Sgi, AFileCutShortKeepsWhatItHoldsAndTheRestIsBlack) {
    // 1024 x 1100 grey pixels stored as they are, bottom row first.
    std::string full = Verbatim(0, 0, 1, "");
    full[6] = 1024 >> 8, full[7] = 0, full[8] = 1100 >> 8, full[9] = 1100 & 0xFF;
    for (int y = 0; y < 1100; ++y) {
        for (int x = 0; x < 1024; ++x) full += static_cast<char>(CutShortGrey(x, 1099 - y));
    }
    constexpr size_t kPixels = 1024 * 1100;
    // Cut at half, at a tenth, and inside the bottom row 100 after 33 of its pixels.
    for (const size_t whole : {kPixels / 2, kPixels / 10, size_t{100 * 1024 + 33}}) {
        const auto picture = Load(full.substr(0, 512 + whole));
        ASSERT_TRUE(picture.ok()) << whole << ": " << picture.message();
        int wrong = 0;
        for (int j = 0; j < 1100; ++j) {  // file rows, bottom first
            const uint8_t* row = picture.canvas->Row(j);
            for (int x = 0; x < 1024; ++x) {
                const bool held = static_cast<size_t>(j) * 1024 + x < whole;
                if (row[x] != (held ? CutShortGrey(x, 1099 - j) : 0)) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << whole << " pixels held";
    }
}

}  // namespace
}  // namespace marbleye
