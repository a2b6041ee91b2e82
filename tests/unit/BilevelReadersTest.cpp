// MacPaint, Microsoft Paint, portable bitmap and wireless bitmap files built
// here byte by byte from the formats' published layouts: header variants,
// run codes, the sense of a set bit, messages, files cut short at every
// length and headers that claim more than their files hold.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

// Whether the test pattern has ink at (x, y): asymmetric, so that a flip or
// a mirror image cannot pass.
bool Ink(int x, int y) { return (x * 7 + y * 3) % 5 < 2 || x == 2 * y; }

// The picture a one-bit file of the pattern shows: ink black, paper white.
RgbImage Expected(int32_t width, int32_t height, const std::function<bool(int, int)>& black) {
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3, 255)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (black(x, y)) std::fill_n(image.rgb.begin() + (static_cast<ptrdiff_t>(y) * width + x) * 3, 3, 0);
        }
    }
    return image;
}

// Rows of whole bytes, the leftmost pixel in the high bit, a bit set where
// `set` says.
std::string PackedRows(int32_t width, int32_t height, const std::function<bool(int, int)>& set) {
    std::string bytes;
    for (int y = 0; y < height; ++y) {
        for (int x0 = 0; x0 < width; x0 += 8) {
            int byte = 0;
            for (int b = 0; b < 8; ++b) {
                if (x0 + b < width && set(x0 + b, y)) byte |= 0x80 >> b;
            }
            bytes += static_cast<char>(byte);
        }
    }
    return bytes;
}

std::string Le16(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

std::string Repeat(size_t count, char c) { return std::string(count, c); }

class BilevelReaders : public test::ReaderTest {
protected:
    void ExpectPicture(const test::LoadedPicture& picture, const RgbImage& expected, int32_t canvasDepth) {
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, 1);
        EXPECT_EQ(picture.canvas->bitsPerPixel(), canvasDepth);
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, expected) << test::FirstDifference(expected, ours);
    }

    // Every prefix of a good file loads to a picture or to one of the
    // reader's messages.
    void SweepPrefixes(const std::string& bytes, const std::string& name, const std::set<std::string>& messages,
                       size_t step = 1) {
        for (size_t length = 0; length < bytes.size(); length += step) {
            const auto picture = LoadBytes(bytes.substr(0, length), name);
            if (!picture.ok()) {
                EXPECT_TRUE(messages.count(picture.message())) << length << ": " << picture.message();
            }
        }
    }
};

// --- MacPaint: 576 x 720, PackBits rows of 72 bytes, a set bit black ---

// The pattern as PackBits with every row one literal packet of 72 bytes.
std::string MacPaintLiteralRows() {
    const std::string rows = PackedRows(576, 720, Ink);
    std::string data;
    for (int y = 0; y < 720; ++y) data += '\x47' + rows.substr(static_cast<size_t>(y) * 72, 72);  // 71: 72 literals
    return data;
}

TEST_F(BilevelReaders, MacPaintDataAfterEitherHeaderOrNone) {
    const RgbImage expected = Expected(576, 720, Ink);
    const std::string data = MacPaintLiteralRows();
    // The MacPaint header: version word 0, patterns, padding; 512 bytes.
    const std::string paintHeader = Repeat(512, '\0');
    // A Macintosh file header of 128 bytes: version 0, name, then type "PNTG" at 65.
    std::string macHeader = Repeat(128, '\0');
    macHeader[1] = 4;
    macHeader.replace(2, 4, "pict");
    macHeader.replace(65, 8, "PNTGMPNT");
    ExpectPicture(LoadBytes(paintHeader + data, "plain.mac"), expected, 1);
    ExpectPicture(LoadBytes(macHeader + paintHeader + data, "macbinary.mac"), expected, 1);
    // Byte 0 is a literal code 0x47, not 0: the data starts at once.
    ExpectPicture(LoadBytes(data, "headerless.mac"), expected, 1);
}

TEST_F(BilevelReaders, MacPaintRunsCrossRowsAndTheRestStaysWhite) {
    // 0x81: 128 bytes of 0xF0 (row 0 and 56 bytes of row 1); 0x80 is skipped;
    // 15: 16 literal bytes 0x01 end row 1; then the file ends.
    const std::string data = std::string("\x81\xF0\x80\x0F", 4) + Repeat(16, '\x01');
    const auto picture = LoadBytes(Repeat(512, '\0') + data, "runs.mac");
    ExpectPicture(picture, Expected(576, 720, [](int x, int y) {
                      if (y == 0 || (y == 1 && x < 56 * 8)) return x % 8 < 4;
                      return y == 1 && x % 8 == 7;
                  }),
                  1);
}

TEST_F(BilevelReaders, MacPaintMessagesAndCutFiles) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.mac")).message(), "Couldn't open MAC File!");
    EXPECT_EQ(LoadBytes("", "empty.mac").message(), "Couldn't read MACHeader!");
    EXPECT_EQ(LoadBytes(Repeat(300, '\0'), "short.mac").message(), "Couldn't read MACHeader!");
    std::string macHeader = Repeat(600, '\0');
    macHeader.replace(65, 4, "PNTG");
    EXPECT_EQ(LoadBytes(macHeader, "shortmacbinary.mac").message(), "Couldn't read MACHeader!");
    SweepPrefixes(Repeat(512, '\0') + MacPaintLiteralRows().substr(0, 3000), "cut.mac",
                  {"Couldn't read MACHeader!"});
}

// --- Microsoft Paint: a 32-byte header, rows raw (1) or coded (2), a set bit white ---

std::string MspHeader(uint16_t key1, uint16_t key2, uint16_t width, uint16_t height) {
    // Keys, width, height, bitmap and printer aspect ratios, printer size,
    // aspect corrections, checksum and three padding words.
    return Le16(key1) + Le16(key2) + Le16(width) + Le16(height) + Le16(1) + Le16(1) + Le16(1) + Le16(1) +
           Le16(width) + Le16(height) + Le16(0) + Le16(0) + Le16(0) + Le16(0) + Le16(0) + Le16(0);
}

constexpr uint16_t kMspV1a = 0x6144, kMspV1b = 0x4D6E, kMspV2a = 0x694C, kMspV2b = 0x536E;

TEST_F(BilevelReaders, MsPaintVersionOneRowsAreRaw) {
    ASSERT_EQ(MspHeader(kMspV1a, kMspV1b, 1, 1).size(), 32u);
    // 21 pixels wide: three bytes a row; a set bit is a white pixel.
    const auto picture = LoadBytes(MspHeader(kMspV1a, kMspV1b, 21, 9) + PackedRows(21, 9, Ink), "one.msp");
    ExpectPicture(picture, Expected(21, 9, [](int x, int y) { return !Ink(x, y); }), 1);
    EXPECT_EQ(test::ReadFileBytes(folder_.File("one.msp")).substr(0, 4), "DanM");
}

TEST_F(BilevelReaders, MsPaintVersionTwoFollowsTheRowSizeTable) {
    // 20 pixels wide (three bytes a row), four rows:
    const std::string rows[] = {
        std::string("\x03\xFF\x0F\xF0", 4),  // three literal bytes
        std::string("\x00\x03\xAA", 3),      // a run of three 0xAA
        std::string("\x01\x00", 2),          // one literal byte 0x00; the rest stays white
        std::string(),                        // an empty row: all white
    };
    std::string bytes = MspHeader(kMspV2a, kMspV2b, 20, 4);
    for (const std::string& row : rows) bytes += Le16(static_cast<uint16_t>(row.size()));
    for (const std::string& row : rows) bytes += row;
    const std::string set[] = {std::string("\xFF\x0F\xF0", 3), std::string("\xAA\xAA\xAA", 3),
                               std::string("\x00\xFF\xFF", 3), std::string("\xFF\xFF\xFF", 3)};
    const auto picture = LoadBytes(bytes, "two.msp");
    ExpectPicture(picture, Expected(20, 4, [&](int x, int y) {
                      return ((static_cast<uint8_t>(set[y][x / 8]) >> (7 - x % 8)) & 1) == 0;
                  }),
                  1);
    SweepPrefixes(bytes, "cut.msp", {"Couldn't read MSPHeader!"});
}

TEST_F(BilevelReaders, MsPaintMessagesAndHostileSizes) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.msp")).message(), "Couldn't open MSP File!");
    EXPECT_EQ(LoadBytes(MspHeader(kMspV1a, kMspV1b, 8, 8).substr(0, 31), "short.msp").message(),
              "Couldn't read MSPHeader!");
    EXPECT_EQ(LoadBytes(MspHeader(kMspV1a, kMspV2b, 8, 8), "keys.msp").message(), "Unkown MSP Format!");
    EXPECT_EQ(LoadBytes(MspHeader(kMspV2a, kMspV2b, 0, 8), "zero.msp").message(), "Couldn't read MSPHeader!");
    // 65535 x 65535 pixels would take 512 MB.
    for (const uint16_t key : {kMspV1a, kMspV2a}) {
        const std::string bytes = MspHeader(key, key == kMspV1a ? kMspV1b : kMspV2b, 65535, 65535) + Repeat(100, '\0');
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = LoadBytes(bytes, "huge.msp"); });
        EXPECT_EQ(loaded.message(), "Couldn't read MSPHeader!") << key;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << key;
    }
}

// --- Portable bitmaps: P1 and P4 into eight bits, 1 is black ---

TEST_F(BilevelReaders, PlainBitmapsWithCommentsAndFreeWhitespace) {
    // Comments after the magic, between the numbers and inside the raster;
    // bits with and without blanks between them, CR line ends.
    const std::string text = "P1#made by hand\r5 # width\n 3\n10 1 0 0\r\n0#a comment\n1\t0 1\n0101\n\n11\n";
    const auto picture = LoadBytes(text, "plain.pbm");
    const bool bits[3][5] = {{1, 0, 1, 0, 0}, {0, 1, 0, 1, 0}, {1, 0, 1, 1, 1}};
    ExpectPicture(picture, Expected(5, 3, [&](int x, int y) { return bits[y][x]; }), 8);
    EXPECT_EQ(picture.image.width, 5);
    EXPECT_EQ(picture.image.height, 3);
}

TEST_F(BilevelReaders, RawBitmapsPadEveryRowToAByte) {
    // A comment after the height ends the header like the newline it runs to.
    const std::string header = "P4\n# pattern\n19 7#\n";
    // Padding bits set, to show they are not read as pixels of the next row.
    std::string rows = PackedRows(19, 7, Ink);
    for (size_t i = 2; i < rows.size(); i += 3) rows[i] = static_cast<char>(rows[i] | 0x1F);
    const auto picture = LoadBytes(header + rows + "P4\n1 1\n\x80", "raw.pbm");
    ExpectPicture(picture, Expected(19, 7, Ink), 8);
}

TEST_F(BilevelReaders, PbmMessagesCutFilesAndHostileSizes) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.pbm")).message(), "Couldn't open PBM File!");
    for (const std::string bad : {"", "P", "P2\n1 1\n1\n", "P4", "P4\n", "P4 x 3\n", "P4 0 3\n", "P1 3\n",
                                  "P1 3x 2\n101010", "p1 1 1 1"}) {
        EXPECT_EQ(LoadBytes(bad, "bad.pbm").message(), "Not a PBM File!") << bad;
    }
    // What the file holds is shown, whole rows only; the rest stays white.
    const auto cut = LoadBytes("P1 3 3 111 010 01", "cut.pbm");
    ExpectPicture(cut, Expected(3, 3, [](int x, int y) { return y == 0 || (y == 1 && x == 1); }), 8);
    const auto junk = LoadBytes("P1 2 2 11 x0", "junk.pbm");
    ExpectPicture(junk, Expected(2, 2, [](int, int y) { return y == 0; }), 8);

    SweepPrefixes("P4\n# c\n19 7\n" + PackedRows(19, 7, Ink), "sweep.pbm", {"Not a PBM File!"});
    SweepPrefixes("P1\n# c\n5 3\n1 0 1 0 0\n0 1 0 1 0\n1 0 1 1 1\n", "sweep.pbm", {"Not a PBM File!"});

    // 30000 x 30000 pixels would take 900 MB of canvas.
    for (const std::string& bytes : {std::string("P4 30000 30000\n") + Repeat(1000, '\xFF'),
                                    std::string("P1 30000 30000\n") + Repeat(1000, '1')}) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = LoadBytes(bytes, "huge.pbm"); });
        EXPECT_EQ(loaded.message(), "Not a PBM File!");
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
    }
}

// --- Wireless bitmaps: type 0, multi-byte sizes, a set bit white ---

TEST_F(BilevelReaders, WirelessBitmapsWithMultiByteSizesAndExtensionHeaders) {
    const RgbImage expected = Expected(300, 3, [](int x, int y) { return !Ink(x, y); });
    const std::string rows = PackedRows(300, 3, Ink);
    // Type 0; 300 = 2 x 128 + 44 as 0x82 0x2C; height 3.
    const std::string sizes = std::string("\x82\x2C\x03", 3);
    ExpectPicture(LoadBytes(std::string("\x00\x00", 2) + sizes + rows, "plain.wbmp"), expected, 1);
    // Extension kind 00: bytes continued by bit 7.
    ExpectPicture(LoadBytes(std::string("\x00\x80\x81\x82\x05", 5) + sizes + rows, "bitfield.wbmp"), expected, 1);
    // Extension kind 11: a parameter of a 1-byte name and 2-byte value
    // (another follows), then one of a 1-byte name and 1-byte value.
    ExpectPicture(LoadBytes(std::string("\x00\xE0\x92nvv\x11nv", 9) + sizes + rows, "pairs.wbmp"), expected, 1);
}

TEST_F(BilevelReaders, WirelessBitmapSizesAndMessages) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.wbmp")).message(), "Unable to open file!");
    const auto largest = LoadBytes(std::string("\x00\x00\x83\x74\x83\x74", 6) + Repeat(63 * 500, '\x55'), "500.wbmp");
    ExpectPicture(largest, Expected(500, 500, [](int x, int) { return x % 2 == 0; }), 1);
    const std::string tooWide = std::string("\x00\x00\x83\x75\x01", 5) + Repeat(64, '\0');  // 501 x 1
    EXPECT_EQ(LoadBytes(tooWide, "501.wbmp").message(), "Loaderror occured!");
    for (const std::string& bad : {std::string(), std::string("\x01\x00\x01\x01\x00", 5),  // type 1
                                  std::string("\x00\x00\x00\x01\x00", 5),                 // width 0
                                  std::string("\x00\x00\x01\x83\x75\x00", 6),             // height 501
                                  std::string("\x00\xA0\x01\x01\x00", 5),                 // reserved extension kind
                                  std::string("\x00\x00\xFF\xFF\xFF\xFF\xFF\x01", 8),     // endless width
                                  std::string("\x00\x00\x01", 3)}) {
        EXPECT_EQ(LoadBytes(bad, "bad.wbmp").message(), "Loaderror occured!") << bad.size();
    }
    // A file cut short shows its whole rows; the rest stays black.
    const auto cut = LoadBytes(std::string("\x00\x00\x0A\x03\xFF\xC0\xFF", 7), "cut.wbmp");
    ExpectPicture(cut, Expected(10, 3, [](int, int y) { return y > 0; }), 1);
    SweepPrefixes(std::string("\x00\xE0\x92nvv\x11nv\x82\x2C\x03", 12) + PackedRows(300, 3, Ink), "sweep.wbmp",
                  {"Loaderror occured!"});
}

}  // namespace
}  // namespace marbleye
