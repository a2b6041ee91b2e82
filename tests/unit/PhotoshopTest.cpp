// Photoshop files built here byte by byte from the published layout: a
// 26-byte header ("8BPS", version, 6 reserved bytes, channels, height,
// width, bits per channel, colour mode, big-endian), three sections each
// led by a 32-bit length (colour mode data, image resources, layers and
// masks), then the compression word and the merged picture, one channel
// after another.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "support/MemoryUse.h"
#include "support/ReaderTest.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Section(const std::string& body) { return Be32(static_cast<uint32_t>(body.size())) + body; }
std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

struct Fields {
    uint32_t width = 1, height = 1;
    uint16_t channels = 3, bits = 8, mode = 3;
    uint16_t version = 1;
};

std::string Header(const Fields& f) {
    return "8BPS" + Be16(f.version) + std::string(6, '\0') + Be16(f.channels) + Be32(f.height) + Be32(f.width) +
           Be16(f.bits) + Be16(f.mode);
}

// A whole file: header, the three sections, compression and picture data.
std::string File(const Fields& f, uint16_t compression, const std::string& data,
                 const std::string& colourModeData = "", const std::string& resources = "",
                 const std::string& layers = "") {
    return Header(f) + Section(colourModeData) + Section(resources) + Section(layers) + Be16(compression) + data;
}

// The PackBits coding of one row as literal packets of at most 128 bytes,
// written out here without any help from the reader.
std::string PackLiterally(const std::string& row) {
    std::string coded;
    for (size_t i = 0; i < row.size(); i += 128) {
        const std::string part = row.substr(i, 128);
        coded += static_cast<char>(part.size() - 1);
        coded += part;
    }
    return coded;
}

class Photoshop : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes) { return LoadBytes(bytes, "picture.psd"); }
};

TEST_F(Photoshop, MessagesForFilesItCannotShow) {
    EXPECT_EQ(test::LoadPicture(folder_.File("absent.psd")).message(), "Unable to open file!");
    EXPECT_EQ(Load("8BPS").message(), "Thats not a valid PSD file!");
    EXPECT_EQ(Load("8BPX" + File({}, 0, "abc").substr(4)).message(), "Thats not a valid PSD file!");
    Fields large;
    large.version = 2;
    EXPECT_EQ(Load(File(large, 0, "abc")).message(), "Thats not a valid PSD file!") << "version 2 is not read";

    Fields channels;
    channels.channels = 17;
    EXPECT_EQ(Load(File(channels, 0, std::string(17, 'x'))).message(), "Not supported or Invalid Channel Count!");
    channels.channels = 0;
    EXPECT_EQ(Load(File(channels, 0, "")).message(), "Not supported or Invalid Channel Count!");
    channels.channels = 2;
    EXPECT_EQ(Load(File(channels, 0, "ab")).message(), "Not supported or Invalid Channel Count!")
        << "RGB needs three channels";
    channels.channels = 3, channels.mode = 4;
    EXPECT_EQ(Load(File(channels, 0, "abc")).message(), "Not supported or Invalid Channel Count!")
        << "CMYK needs four channels";

    for (uint16_t mode : {5, 6, 10, 0xFFFF}) {
        Fields colourMode;
        colourMode.mode = mode;
        EXPECT_EQ(Load(File(colourMode, 0, "abc")).message(), "ColorMode not supported!") << mode;
    }
    for (uint16_t compression : {2, 3, 0x100}) {
        EXPECT_EQ(Load(File({}, compression, "abc")).message(), "PSD CompressionType not supported!") << compression;
    }

    Fields oddBits;
    oddBits.bits = 4;
    EXPECT_EQ(Load(File(oddBits, 0, "abc")).message(), "Thats not a valid PSD file!");
    oddBits.bits = 1;
    EXPECT_EQ(Load(File(oddBits, 0, "abc")).message(), "Thats not a valid PSD file!") << "one bit is bitmap mode's";
    Fields empty;
    empty.width = 0;
    EXPECT_EQ(Load(File(empty, 0, "")).message(), "Thats not a valid PSD file!");

    Fields indexed;
    indexed.channels = 1, indexed.mode = 2;
    EXPECT_EQ(Load(File(indexed, 0, "a", std::string(767, '\0'))).message(), "Thats not a valid PSD file!")
        << "a colour table too short";
    // A section longer than the rest of the file.
    EXPECT_EQ(Load(Header({}) + Be32(0) + Be32(1000) + "abc").message(), "Thats not a valid PSD file!");
    EXPECT_EQ(Load(Header({}) + Be32(0) + Be32(0) + Be32(0) + "\x00").message(), "Thats not a valid PSD file!")
        << "the compression word cut short";
}

TEST_F(Photoshop, RawRgbChannelsComeOneAfterAnother) {
    Fields f;
    f.width = 3, f.height = 2;
    // Reds of both rows, then greens, then blues; sections with content to skip.
    const std::string data = Bytes({10, 11, 12, 13, 14, 15}) + Bytes({20, 21, 22, 23, 24, 25}) +
                             Bytes({30, 31, 32, 33, 34, 35});
    const auto picture = Load(File(f, 0, data, "", "8BIM resources", std::string(37, '\x55')));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    EXPECT_EQ(picture.image.width, 3);
    EXPECT_EQ(picture.image.height, 2);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{10, 20, 30}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{12, 22, 32}));
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (Colour{13, 23, 33})) << "rows from the top";
    EXPECT_EQ(test::PixelOf(picture, 2, 1), (Colour{15, 25, 35}));
}

TEST_F(Photoshop, AFourthChannelIsTheFourthByteAndLaterOnesAreIgnored) {
    Fields f;
    f.width = 2, f.channels = 6;
    const std::string data = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    const auto picture = Load(File(f, 0, data));
    ASSERT_TRUE(picture.ok()) << picture.message();
    ASSERT_EQ(picture.canvas->bitsPerPixel(), 32);
    EXPECT_EQ(picture.image.fileBitDepth, 32);
    const uint8_t* row = picture.canvas->Row(0);
    // Blue, green, red, fourth byte.
    EXPECT_EQ(std::vector<int>(row, row + 8), (std::vector<int>{5, 3, 1, 7, 6, 4, 2, 8}));
}

TEST_F(Photoshop, PackBitsRowsAfterTheirByteCounts) {
    Fields f;
    f.width = 5, f.height = 2, f.channels = 1, f.mode = 1;
    // Two rows of counts, nonsense on purpose: they are skipped, not used.
    const std::string counts = Be16(0xFFFF) + Be16(0);
    // Row 0: two literals, a no-op packet (128), a run of three 9s.
    // Row 1: a run of four 7s, then a literal packet of three of which one fits.
    const std::string data = counts + Bytes({1, 0x41, 0x42, 128, 0xFE, 9}) + Bytes({0xFD, 7, 2, 0x61, 0x62, 0x63});
    const auto picture = Load(File(f, 1, data));
    ASSERT_TRUE(picture.ok()) << picture.message();
    ASSERT_EQ(picture.canvas->bitsPerPixel(), 8);
    const uint8_t* top = picture.canvas->Row(1);
    const uint8_t* bottom = picture.canvas->Row(0);
    EXPECT_EQ(std::vector<int>(top, top + 5), (std::vector<int>{0x41, 0x42, 9, 9, 9}));
    EXPECT_EQ(std::vector<int>(bottom, bottom + 5), (std::vector<int>{7, 7, 7, 7, 0x61}));
}

TEST_F(Photoshop, ARunPastTheRowEndIsCutAndTheNextRowStartsAfterIt) {
    Fields f;
    f.width = 3, f.height = 2, f.channels = 1, f.mode = 1;
    // Row 0: a literal of five bytes of which three fit; row 1: a run of 100
    // fives of which three fit.
    const std::string data = Be16(6) + Be16(2) + Bytes({4, 1, 2, 3, 0xEE, 0xEE}) + Bytes({0x9D, 5});
    const auto picture = Load(File(f, 1, data));
    ASSERT_TRUE(picture.ok()) << picture.message();
    const uint8_t* top = picture.canvas->Row(1);
    const uint8_t* bottom = picture.canvas->Row(0);
    EXPECT_EQ(std::vector<int>(top, top + 3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(std::vector<int>(bottom, bottom + 3), (std::vector<int>{5, 5, 5}));
}

TEST_F(Photoshop, WideChannelsAreShownAtEightBits) {
    Fields sixteen;
    sixteen.width = 2;
    sixteen.bits = 16;
    // The high byte of each big-endian sample.
    const std::string data = Bytes({0x12, 0xFF, 0x34, 0x00}) + Bytes({0x56, 0x80, 0x78, 0x7F}) +
                             Bytes({0x9A, 0x01, 0xBC, 0xFE});
    const auto picture = Load(File(sixteen, 0, data));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{0x12, 0x56, 0x9A}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{0x34, 0x78, 0xBC}));

    Fields floats;
    floats.width = 2;
    floats.bits = 32;
    // 1.0, 0.5 | 0.25, 2.0 | -1.0, not-a-number (IEEE single precision, big-endian).
    const std::string floatData = Bytes({0x3F, 0x80, 0, 0, 0x3F, 0, 0, 0}) + Bytes({0x3E, 0x80, 0, 0, 0x40, 0, 0, 0}) +
                                  Bytes({0xBF, 0x80, 0, 0, 0x7F, 0xC0, 0, 0});
    const auto scaled = Load(File(floats, 0, floatData));
    ASSERT_TRUE(scaled.ok()) << scaled.message();
    EXPECT_EQ(test::PixelOf(scaled, 0, 0), (Colour{255, 64, 0}));
    EXPECT_EQ(test::PixelOf(scaled, 1, 0), (Colour{128, 255, 0})) << "clamped";
}

TEST_F(Photoshop, GreyIndexedAndBitmapPictures) {
    Fields grey;
    grey.width = 2, grey.channels = 2, grey.mode = 1;
    const auto greyAlpha = Load(File(grey, 0, Bytes({0x20, 0xE0, 0xFF, 0x00})));
    ASSERT_TRUE(greyAlpha.ok()) << greyAlpha.message();
    EXPECT_EQ(greyAlpha.canvas->bitsPerPixel(), 8) << "two channels at 8 bits";
    EXPECT_EQ(test::PixelOf(greyAlpha, 0, 0), (Colour{0x20, 0x20, 0x20}));
    EXPECT_EQ(test::PixelOf(greyAlpha, 1, 0), (Colour{0xE0, 0xE0, 0xE0})) << "the alpha is not shown";

    grey.channels = 3, grey.mode = 8;  // duotone with two more channels
    const auto duotone = Load(File(grey, 0, Bytes({0x40, 0x90, 1, 2, 3, 4}), std::string(20, '\x7F')));
    ASSERT_TRUE(duotone.ok()) << duotone.message();
    EXPECT_EQ(duotone.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(test::PixelOf(duotone, 1, 0), (Colour{0x90, 0x90, 0x90}));

    Fields indexed;
    indexed.width = 3, indexed.channels = 1, indexed.mode = 2;
    std::string table(768, '\0');
    table[1] = 0x11, table[256 + 1] = 0x22, table[512 + 1] = 0x33;        // entry 1
    table[255] = 0x44, table[256 + 255] = 0x55, table[512 + 255] = 0x66;  // entry 255
    const auto mapped = Load(File(indexed, 0, Bytes({1, 255, 0}), table + "tail"));
    ASSERT_TRUE(mapped.ok()) << mapped.message();
    EXPECT_EQ(mapped.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(test::PixelOf(mapped, 0, 0), (Colour{0x11, 0x22, 0x33})) << "reds, then greens, then blues";
    EXPECT_EQ(test::PixelOf(mapped, 1, 0), (Colour{0x44, 0x55, 0x66}));
    EXPECT_EQ(test::PixelOf(mapped, 2, 0), (Colour{0, 0, 0}));

    Fields bitmap;
    bitmap.width = 10, bitmap.height = 2, bitmap.channels = 1, bitmap.bits = 1, bitmap.mode = 0;
    // Rows of two bytes; a set bit is black.
    const auto bits = Load(File(bitmap, 0, Bytes({0x80, 0x40, 0x01, 0x00})));
    ASSERT_TRUE(bits.ok()) << bits.message();
    EXPECT_EQ(bits.image.fileBitDepth, 1);
    EXPECT_EQ(test::PixelOf(bits, 0, 0), (Colour{0, 0, 0}));
    EXPECT_EQ(test::PixelOf(bits, 1, 0), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(bits, 9, 0), (Colour{0, 0, 0})) << "the second byte's second bit";
    EXPECT_EQ(test::PixelOf(bits, 7, 1), (Colour{0, 0, 0}));
    EXPECT_EQ(test::PixelOf(bits, 6, 1), (Colour{255, 255, 255}));
}

TEST_F(Photoshop, CmykAndLabBecomeRgb) {
    Fields cmyk;
    cmyk.width = 3, cmyk.channels = 4, cmyk.mode = 4;
    // Ink is stored inverted (255 is none). Pixel 0: no ink; pixel 1: full
    // magenta; pixel 2: full cyan under half black.
    const std::string inks =
        Bytes({255, 255, 0}) + Bytes({255, 0, 255}) + Bytes({255, 255, 255}) + Bytes({255, 255, 128});
    const auto plain = Load(File(cmyk, 0, inks));
    ASSERT_TRUE(plain.ok()) << plain.message();
    EXPECT_EQ(plain.canvas->bitsPerPixel(), 32);
    EXPECT_EQ(test::PixelOf(plain, 0, 0), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(plain, 1, 0), (Colour{255, 0, 255}));
    EXPECT_EQ(test::PixelOf(plain, 2, 0), (Colour{0, 128, 128}));
    EXPECT_EQ(plain.canvas->Row(0)[3], 255) << "opaque without an alpha channel";

    cmyk.channels = 5;
    const auto withAlpha = Load(File(cmyk, 0, inks + Bytes({9, 99, 199})));
    ASSERT_TRUE(withAlpha.ok()) << withAlpha.message();
    EXPECT_EQ(test::PixelOf(withAlpha, 2, 0), (Colour{0, 128, 128}));
    EXPECT_EQ(withAlpha.canvas->Row(0)[4 + 3], 99) << "the fifth channel is the fourth byte";

    Fields lab;
    lab.width = 4, lab.channels = 3, lab.mode = 9;
    // White, black, and sRGB red and blue by their published D50 Lab values
    // (L 54.29, a 80.80, b 69.89; L 29.57, a 68.30, b -112.03), stored as
    // L x 2.55 and a, b + 128.
    const std::string labData = Bytes({255, 0, 138, 75}) + Bytes({128, 128, 209, 196}) + Bytes({128, 128, 198, 16});
    const auto converted = Load(File(lab, 0, labData));
    ASSERT_TRUE(converted.ok()) << converted.message();
    EXPECT_EQ(converted.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(test::PixelOf(converted, 0, 0), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(converted, 1, 0), (Colour{0, 0, 0}));
    const Colour red = test::PixelOf(converted, 2, 0), blue = test::PixelOf(converted, 3, 0);
    EXPECT_GE(red[0], 250);
    EXPECT_LE(std::max(red[1], red[2]), 8);
    EXPECT_GE(blue[2], 250);
    EXPECT_LE(std::max(blue[0], blue[1]), 8);
}

TEST_F(Photoshop, MultichannelPicturesTakeTheirFirstChannels) {
    Fields f;
    f.width = 1, f.channels = 2, f.mode = 7;
    const auto two = Load(File(f, 0, Bytes({0x33, 0x99})));
    ASSERT_TRUE(two.ok()) << two.message();
    EXPECT_EQ(two.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(test::PixelOf(two, 0, 0), (Colour{0x33, 0x33, 0x33}));
    f.channels = 3;
    const auto three = Load(File(f, 0, Bytes({0x33, 0x99, 0x11})));
    ASSERT_TRUE(three.ok()) << three.message();
    EXPECT_EQ(three.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(test::PixelOf(three, 0, 0), (Colour{0x33, 0x99, 0x11}));
}

// An RGB picture, raw or coded with literal PackBits packets (two a row when
// it is wider than 128), with an honest table of row byte counts.
std::string CodedPicture(uint16_t compression, uint32_t width, uint32_t height) {
    Fields f;
    f.width = width, f.height = height;
    std::string counts, rows;
    for (int c = 0; c < 3; ++c) {
        for (uint32_t y = 0; y < f.height; ++y) {
            std::string row;
            for (uint32_t x = 0; x < f.width; ++x) row += static_cast<char>(1 + (x * 7 + y * 3 + c * 50) % 250);
            const std::string coded = compression == 1 ? PackLiterally(row) : row;
            counts += Be16(static_cast<uint32_t>(coded.size()));
            rows += coded;
        }
    }
    return File(f, compression, (compression == 1 ? counts : "") + rows, "", "resources");
}

TEST_F(Photoshop, EveryPrefixLoadsOrGivesTheMessage) {
    for (uint16_t compression : {0, 1}) {
        const std::string full = CodedPicture(compression, 131, 2);
        const auto whole = Load(full);
        ASSERT_TRUE(whole.ok()) << whole.message();
        EXPECT_EQ(test::PixelOf(whole, 130, 1)[2], 1 + (130 * 7 + 1 * 3 + 100) % 250);
        for (size_t length = 0; length < full.size(); ++length) {
            const auto cut = Load(full.substr(0, length));
            if (!cut.ok()) {
                ASSERT_EQ(cut.message(), "Thats not a valid PSD file!") << compression << " at " << length;
            } else {
                ASSERT_EQ(cut.canvas->width(), 131) << length;
            }
        }
    }
}

TEST_F(Photoshop, AFileCutShortKeepsWhatWasRead) {
    const std::string full = CodedPicture(0, 61, 40);
    // All of red and green and ten rows of blue.
    const size_t dataStart = full.size() - 3 * 61 * 40;
    const auto picture = Load(full.substr(0, dataStart + 2 * 61 * 40 + 10 * 61 + 30));
    ASSERT_TRUE(picture.ok()) << picture.message();
    int wrong = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 61; ++x) {
            const Colour expected{1 + (x * 7 + y * 3) % 250, 1 + (x * 7 + y * 3 + 50) % 250,
                                  y < 10 ? 1 + (x * 7 + y * 3 + 100) % 250 : 0};
            if (test::PixelOf(picture, x, y) != expected) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(Photoshop, AHeaderClaimingMoreThanTheFileHoldsCostsNothing) {
    Fields huge;
    // 16000 x 16000 pixels of four channels would take 1 GB, just under the gate.
    huge.width = 16000, huge.height = 16000, huge.channels = 4;
    Fields wide = huge;
    wide.width = 0x7FFFFFFF;
    for (const auto& [fields, compression] : {std::pair{huge, 0}, std::pair{huge, 1}, std::pair{wide, 1}}) {
        test::LoadedPicture loaded;
        const std::string bytes = File(fields, static_cast<uint16_t>(compression), "\x80\x01");
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes); });
        EXPECT_EQ(loaded.message(), "Thats not a valid PSD file!") << compression;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << compression;
    }
}

TEST_F(Photoshop, EveryRunMayStandFor128Bytes) {
    // 2048 x 1024 grey pixels in 33 KiB: runs of 128, more than raw rows
    // could ever describe.
    Fields f;
    f.width = 2048, f.height = 1024, f.channels = 1, f.mode = 1;
    std::string counts, rows;
    for (uint32_t y = 0; y < f.height; ++y) {
        counts += Be16(32);
        for (int run = 0; run < 16; ++run) rows += {'\x81', static_cast<char>(y % 200)};
    }
    const std::string bytes = File(f, 1, counts + rows);
    ASSERT_LT(bytes.size(), test::kSmallFileBytes + 16 * 1024);
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.ok()) << picture.message();
    for (int y = 0; y < 1024; ++y) {
        const uint8_t* row = picture.canvas->Row(1023 - y);
        ASSERT_EQ(std::count(row, row + 2048, static_cast<uint8_t>(y % 200)), 2048) << "row " << y;
    }
}

}  // namespace
}  // namespace marbleye
