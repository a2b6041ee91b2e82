// Softimage PIC files built here byte by byte from the published layout:
// a 104-byte big-endian header, a chain of channel packets, then every row
// from the top as the packets say.
#include <gtest/gtest.h>

#include <algorithm>

#include "formats/pic/Pic.h"
#include "support/MemoryUse.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Pixel = std::array<int, 4>;  // red, green, blue, alpha

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }

// Magic, version 3.71, an 80-byte comment, "PICT", the size, ratio 1.0,
// fields 3 (a full frame) and the padding.
std::string Header(uint32_t width, uint32_t height, const std::string& id = "PICT") {
    std::string comment = "made by hand";
    comment.resize(80, '\0');
    return Be32(0x5380F634) + Be32(0x406D70A4) + comment + id + Be16(width) + Be16(height) + Be32(0x3F800000) +
           Be16(3) + Be16(0);
}

constexpr uint8_t kRed = 0x80, kGreen = 0x40, kBlue = 0x20, kAlpha = 0x10;

// One channel packet: chained flag, 8 bits per channel, coding, channels.
std::string Packet(bool chained, uint8_t type, uint8_t channels) {
    return {static_cast<char>(chained ? 1 : 0), 8, static_cast<char>(type), static_cast<char>(channels)};
}

std::string Bytes(std::initializer_list<int> bytes) {
    std::string text;
    for (int b : bytes) text += static_cast<char>(b);
    return text;
}

class RecordingHost : public Host {
public:
    void ReportError(const std::string& message) override { messages += message; }
    std::string messages;
};

class SoftimagePic : public ::testing::Test {
protected:
    test::LoadedPicture Load(const std::string& bytes, Host& host = QuietHost()) {
        test::WriteFileBytes(Path(), bytes);
        test::LoadedPicture picture;
        const LoadOptions options;
        LoadContext context{*picture.canvas, picture.image, options, host};
        picture.result = LoadImageFile(Path(), context);
        return picture;
    }
    std::string Path() { return folder_.File("picture.pic"); }

    // The four bytes of pixel (x, y) from the top left, as red, green, blue, alpha.
    static Pixel At(const test::LoadedPicture& picture, int x, int y) {
        const uint8_t* p = picture.canvas->Row(picture.canvas->height() - 1 - y) + x * 4;
        return {p[2], p[1], p[0], p[3]};
    }
    test::TempFolder folder_;
};

TEST_F(SoftimagePic, StoredChannelsInTwoPackets) {
    // 3 x 2: red, green and blue stored as they are, then alpha in a packet of its own.
    const std::string file = Header(3, 2) + Packet(true, 0, kRed | kGreen | kBlue) + Packet(false, 0, kAlpha) +
                             Bytes({10, 11, 12, 20, 21, 22, 30, 31, 32}) + Bytes({1, 2, 3}) +
                             Bytes({40, 41, 42, 50, 51, 52, 60, 61, 62}) + Bytes({4, 5, 6});
    const auto picture = Load(file);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 32);
    EXPECT_EQ(picture.image.fileBitDepth, 32);
    EXPECT_EQ(picture.image.width, 3);
    EXPECT_EQ(picture.image.height, 2);
    EXPECT_EQ(At(picture, 0, 0), (Pixel{10, 11, 12, 1})) << "the first row is the top";
    EXPECT_EQ(At(picture, 2, 0), (Pixel{30, 31, 32, 3}));
    EXPECT_EQ(At(picture, 1, 1), (Pixel{50, 51, 52, 5}));
    EXPECT_EQ(At(picture, 2, 1), (Pixel{60, 61, 62, 6}));
}

TEST_F(SoftimagePic, ChannelsLeftOutStayZero) {
    // Only blue and alpha are stored; red and green keep the fill.
    const auto picture = Load(Header(2, 1) + Packet(false, 0, kBlue | kAlpha) + Bytes({0x33, 0x44, 0x55, 0x66}));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(At(picture, 0, 0), (Pixel{0, 0, 0x33, 0x44}));
    EXPECT_EQ(At(picture, 1, 0), (Pixel{0, 0, 0x55, 0x66}));
    const auto noAlpha = Load(Header(1, 1) + Packet(false, 0, kRed | kGreen | kBlue) + Bytes({7, 8, 9}));
    EXPECT_EQ(At(noAlpha, 0, 0), (Pixel{7, 8, 9, 0}));
    EXPECT_EQ(noAlpha.image.fileBitDepth, 32);
}

TEST_F(SoftimagePic, PureRunsAreCutAtTheRowEnd) {
    // 4 x 3, all four channels in pure runs (count, red, green, blue, alpha).
    const std::string file = Header(4, 3) + Packet(false, 1, kRed | kGreen | kBlue | kAlpha) +
                             Bytes({3, 1, 2, 3, 4, /**/ 1, 5, 6, 7, 8}) +  // row 0: three and one
                             Bytes({9, 9, 8, 7, 6}) +                       // row 1: nine, cut to four
                             Bytes({2, 0xA0, 0xA1, 0xA2, 0xA3, 2, 0xB0, 0xB1, 0xB2, 0xB3});
    const auto picture = Load(file);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(At(picture, 2, 0), (Pixel{1, 2, 3, 4}));
    EXPECT_EQ(At(picture, 3, 0), (Pixel{5, 6, 7, 8}));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(picture, x, 1), (Pixel{9, 8, 7, 6})) << x;
    EXPECT_EQ(At(picture, 1, 2), (Pixel{0xA0, 0xA1, 0xA2, 0xA3})) << "the cut run takes no more bytes";
    EXPECT_EQ(At(picture, 2, 2), (Pixel{0xB0, 0xB1, 0xB2, 0xB3}));
}

TEST_F(SoftimagePic, MixedRunsWithShortAndLongCountsAndRawPixels) {
    // 300 x 2: colour in mixed runs, alpha in pure runs.
    std::string file = Header(300, 2) + Packet(true, 2, kRed | kGreen | kBlue) + Packet(false, 1, kAlpha);
    // Row 0: a short repeat (0x81: two pixels), three raw pixels, then the
    // long form (128, count 295 big-endian); alpha 255 then 45.
    file += Bytes({0x81, 0x11, 0x12, 0x13, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x80, 0x01, 0x27, 0x21, 0x22, 0x23});
    file += Bytes({255, 0x70, 45, 0x71});
    // Row 1: one long repeat of all 300 pixels; alpha in two runs.
    file += Bytes({0x80, 0x01, 0x2C, 0x31, 0x32, 0x33}) + Bytes({200, 0x72, 100, 0x73});
    const auto picture = Load(file);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(At(picture, 1, 0), (Pixel{0x11, 0x12, 0x13, 0x70}));
    EXPECT_EQ(At(picture, 2, 0), (Pixel{1, 2, 3, 0x70}));
    EXPECT_EQ(At(picture, 4, 0), (Pixel{7, 8, 9, 0x70}));
    EXPECT_EQ(At(picture, 5, 0), (Pixel{0x21, 0x22, 0x23, 0x70}));
    EXPECT_EQ(At(picture, 254, 0), (Pixel{0x21, 0x22, 0x23, 0x70}));
    EXPECT_EQ(At(picture, 255, 0), (Pixel{0x21, 0x22, 0x23, 0x71}));
    EXPECT_EQ(At(picture, 299, 0), (Pixel{0x21, 0x22, 0x23, 0x71}));
    EXPECT_EQ(At(picture, 0, 1), (Pixel{0x31, 0x32, 0x33, 0x72}));
    EXPECT_EQ(At(picture, 299, 1), (Pixel{0x31, 0x32, 0x33, 0x73}));
}

TEST_F(SoftimagePic, RunsPastTheRowEndStopTheLoad) {
    struct Case {
        std::string data;
        std::string report;
    };
    const Case cases[] = {
        // 0x84 repeats five pixels in a row of four.
        {Bytes({0x84, 1, 2, 3}), "ERROR: FF_PIC_load(): Overrun scanline (Repeat) [0 + 5 > 4] (NC=3)\n"},
        // Three raw pixels, then two more raw ones from x = 3.
        {Bytes({0x02, 1, 2, 3, 1, 2, 3, 1, 2, 3, 0x01, 1, 2, 3, 1, 2, 3}),
         "ERROR: FF_PIC_load(): Overrun scanline (Raw) [3 + 2 > 4] (NC=3)\n"},
        // The long form with a count of 256.
        {Bytes({0x80, 0x01, 0x00, 1, 2, 3}), "ERROR: FF_PIC_load(): Overrun scanline (Repeat) [0 + 256 > 4] (NC=3)\n"},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        const auto picture = Load(Header(4, 2) + Packet(false, 2, kRed | kGreen | kBlue) + c.data, host);
        EXPECT_EQ(picture.message(), "ReadScanline Error occured!");
        EXPECT_EQ(host.messages, c.report);
    }
}

TEST_F(SoftimagePic, Messages) {
    EXPECT_EQ(Load(Header(4, 4, "PICX") + Packet(false, 0, kRed)).message(),
              Path() + " is a Softimage file, but not a PIC file");
    EXPECT_EQ(Load(Header(4, 4).substr(0, 90)).message(), Path() + " is a Softimage file, but not a PIC file");
    EXPECT_EQ(Load(Header(0, 4) + Packet(false, 0, kRed)).message(), Path() + " is a Softimage file, but not a PIC file");
    EXPECT_EQ(Load(Header(4, 4) + Packet(true, 0, kRed)).message(), "ReadScanline Error occured!")
        << "the chain of packets ends with the file";
    EXPECT_EQ(Load(Header(4, 4) + Packet(false, 3, kRed)).message(), "ReadScanline Error occured!") << "no coding 3";
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.pic")).message(), "ERROR: Can't open for reading.");
    // Anything without the magic goes to the Pictor reader.
    EXPECT_EQ(Load("not a picture at all").message(), "This is not a valid Pictor PC Paint File!");
    EXPECT_EQ(Load("S").message(), "This is not a valid Pictor PC Paint File!");
}

TEST_F(SoftimagePic, AFileCutShortShowsTheRowsItHolds) {
    // 3 x 3 stored: the file ends in the middle of the second row.
    const std::string full = Header(3, 3) + Packet(false, 0, kRed | kGreen | kBlue) +
                             Bytes({1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9});
    const auto picture = Load(full.substr(0, 108 + 9 + 4));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(At(picture, 2, 0), (Pixel{3, 3, 3, 0}));
    EXPECT_EQ(At(picture, 0, 1), (Pixel{4, 4, 4, 0}));
    EXPECT_EQ(At(picture, 2, 1), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(At(picture, 0, 2), (Pixel{0, 0, 0, 0}));

    // Every prefix of a file with all three codings gives a picture or a message.
    std::string mixed = Header(5, 3) + Packet(true, 2, kRed | kGreen | kBlue) + Packet(true, 1, kAlpha) +
                        Packet(false, 0, kRed);
    for (int y = 0; y < 3; ++y) {
        mixed += Bytes({0x81, 9, 8, 7, 0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9}) + Bytes({2, 0x40, 9, 0x41}) +
                 Bytes({10, 20, 30, 40, 50});
    }
    for (size_t length = 0; length <= mixed.size(); ++length) {
        const auto cut = Load(mixed.substr(0, length));
        EXPECT_TRUE(cut.ok() || !cut.message().empty()) << length;
        if (length >= 116) {
            EXPECT_TRUE(cut.ok()) << length << ": " << cut.message();
        }
    }
    const auto whole = Load(mixed);
    EXPECT_EQ(At(whole, 4, 2), (Pixel{50, 8, 9, 0x41})) << "the last packet overwrites red";
}

TEST_F(SoftimagePic, HostileSizesCostNothing) {
    for (uint32_t side : {16000u, 65535u}) {
        for (uint8_t type : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
            const std::string file = Header(side, side) + Packet(false, type, kRed | kGreen | kBlue) +
                                     Bytes({0x80, 0xFF, 0xFF, 1, 2, 3});
            test::LoadedPicture loaded;
            const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(file); });
            EXPECT_EQ(loaded.message(), "ReadScanline Error occured!") << side << " type " << int{type};
            EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << side << " type " << int{type};
        }
    }
}

TEST_F(SoftimagePic, LongRunsMayDescribeMuchMoreThanTheFileHolds) {
    // 4096 x 512 pixels (8 MiB) from one 7-byte code a row.
    std::string file = Header(4096, 512) + Packet(false, 2, kRed | kGreen | kBlue | kAlpha);
    for (int y = 0; y < 512; ++y) file += Bytes({0x80, 0x10, 0x00, y % 256, 1, 2, 3});
    ASSERT_LT(file.size(), test::kSmallFileBytes);
    const auto picture = Load(file);
    ASSERT_TRUE(picture.ok()) << picture.message();
    for (int y : {0, 255, 511}) {
        EXPECT_EQ(At(picture, 0, y), (Pixel{y % 256, 1, 2, 3}));
        EXPECT_EQ(At(picture, 4095, y), (Pixel{y % 256, 1, 2, 3}));
    }
}

TEST_F(SoftimagePic, TheSoftimageReaderHandsOtherFilesToThePictorReader) {
    // A 1 x 1 Pictor picture: magic, size, offsets, one 1-bit plane, no palette, no blocks.
    const std::string pictor = Bytes({0x34, 0x12, 1, 0, 1, 0, 0, 0, 0, 0, 0x01, 0xFF, 'C', 0, 0, 0, 0, 0, 0, 0x80});
    test::WriteFileBytes(Path(), pictor);
    test::LoadedPicture picture;
    const LoadOptions options;
    LoadContext context{*picture.canvas, picture.image, options, QuietHost()};
    const Status status = ReadPic(Path(), context);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(picture.image.fileBitDepth, 1);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 1);
}

}  // namespace
}  // namespace marbleye
