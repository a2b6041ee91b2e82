// Dr. Halo CUT (with and without its palette file), HRZ, GEM bit images and
// Zebra previews, built byte by byte from the published layouts.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }
std::string Raw(std::initializer_list<int> bytes) {
    std::string text;
    for (int b : bytes) text += static_cast<char>(b);
    return text;
}

class LegacyReaders : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes, const std::string& name,
                             const LoadOptions& options = LoadOptions()) {
        return LoadBytes(bytes, name, options);
    }
    void SweepPrefixes(const std::string& bytes, const std::string& name, const std::vector<std::string>& messages,
                       size_t step = 1) {
        for (size_t length = 0; length < bytes.size(); length += step) {
            const auto picture = Load(bytes.substr(0, length), name);
            if (picture.ok()) continue;
            EXPECT_NE(std::find(messages.begin(), messages.end(), picture.message()), messages.end())
                << name << " cut to " << length << ": " << picture.message();
        }
    }
    void ExpectRefusedCheaply(const std::string& bytes, const std::string& name, const std::string& message) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(bytes, name); });
        EXPECT_EQ(loaded.message(), message) << name;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << name;
    }
};

// ---------------------------------------------------------------- Dr. Halo CUT

// width, height, an unused word; then rows of a 16-bit count and codes.
std::string CutHeader(unsigned width, unsigned height) { return Le16(width) + Le16(height) + Le16(0); }
std::string CutRow(const std::string& codes) { return Le16(static_cast<unsigned>(codes.size())) + codes; }

// 5 x 3: a literal and a run, a run then the end code, a run past the row end.
std::string SmallCut() {
    return CutHeader(5, 3) + CutRow(Raw({0x02, 10, 20, 0x83, 30, 0x00})) +  // 10 20 30 30 30
           CutRow(Raw({0x82, 40, 0x00, 0x85, 99})) +                       // 40 40, then nothing
           CutRow(Raw({0x01, 50, 0x87, 60}));                              // 50, then 60 cut to four
}

TEST_F(LegacyReaders, CutRowsWithoutAPaletteFileAreGrey) {
    const auto picture = Load(SmallCut(), "small.cut");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 8);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 8);
    ASSERT_EQ(picture.canvas->width(), 5);
    ASSERT_EQ(picture.canvas->height(), 3);
    const std::vector<std::vector<int>> expected = {{10, 20, 30, 30, 30}, {40, 40, 0, 0, 0}, {50, 60, 60, 60, 60}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const int v = expected[y][x];
            EXPECT_EQ(test::PixelOf(picture, x, y), (Colour{v, v, v})) << x << "," << y;
        }
    }
}

TEST_F(LegacyReaders, CutNextRowStartsWhereTheCountSays) {
    // The first row's count covers three bytes of filler after its end code.
    const std::string bytes = CutHeader(2, 2) + Le16(7) + Raw({0x82, 77, 0x00, 0x81, 1, 0x81, 2}) +
                              CutRow(Raw({0x82, 88, 0x00}));
    const auto picture = Load(bytes, "skip.cut");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{77, 77, 77}));
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (Colour{88, 88, 88}));
}

// A palette file as the published layout has it: a 40-byte header ("AH",
// version, size, file type and subtype, board and mode, the largest index
// and components, "Dr. Halo" and twelve zeros), then red, green, blue words
// in 512-byte blocks; an entry that would not fit whole in a block starts
// the next one.
std::string HaloPalette(const std::vector<std::array<unsigned, 3>>& entries) {
    std::string file = "AH" + Le16(0) + Le16(0) + Raw({0x0A, 0x00}) + Le16(0) + Le16(0) + Le16(255) + Le16(255) +
                       Le16(255) + Le16(255) + "Dr. Halo" + std::string(12, '\0');
    EXPECT_EQ(file.size(), 40u);
    for (const auto& entry : entries) {
        const size_t used = file.size() % 512;
        if (512 - used < 6) file.append(512 - used, '\xEE');
        for (unsigned value : entry) file += Le16(value);
    }
    return file;
}

TEST_F(LegacyReaders, CutTakesItsPaletteFromThePalFileWithEntriesKeptInBlocks) {
    std::vector<std::array<unsigned, 3>> entries(256);
    for (unsigned i = 0; i < 256; ++i) entries[i] = {0x100 | i, 0x200 | (255 - i), 0x300 | ((i * 7) & 0xFF)};
    // Entries 77 and 78 meet the end of the first block, 162 and 163 the second's.
    const std::string palette = HaloPalette(entries);
    ASSERT_EQ(palette.substr(508, 4), "\xEE\xEE\xEE\xEE");
    // One row of four pixels: indices 77, 78, 163, 255.
    const std::string cut = CutHeader(4, 1) + CutRow(Raw({0x04, 77, 78, 163, 255, 0x00}));
    test::WriteFileBytes(folder_.File("colour.pal"), palette);
    const auto picture = Load(cut, "colour.cut");
    ASSERT_TRUE(picture.ok()) << picture.message();
    for (int x = 0; x < 4; ++x) {
        const unsigned i = std::array<unsigned, 4>{77, 78, 163, 255}[x];
        EXPECT_EQ(test::PixelOf(picture, x, 0),
                  (Colour{static_cast<int>(i), static_cast<int>(255 - i), static_cast<int>((i * 7) & 0xFF)}))
            << "index " << i << ": the low byte of each word";
    }
}

TEST_F(LegacyReaders, CutFindsAPalFileInCapitals) {
    std::vector<std::array<unsigned, 3>> entries(256, {0, 0, 0});
    entries[5] = {200, 100, 50};
    test::WriteFileBytes(folder_.File("SHOUT.PAL"), HaloPalette(entries));
    const auto picture = Load(CutHeader(1, 1) + CutRow(Raw({0x81, 5, 0x00})), "SHOUT.CUT");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{200, 100, 50}));
}

TEST_F(LegacyReaders, CutMessagesAndHostileSizes) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.cut")).message(), "Couldn't open File!");
    EXPECT_EQ(Load("\x05\x00\x03", "short.cut").message(), "Couldn't read Header!");
    EXPECT_EQ(Load(CutHeader(0, 4), "empty.cut").message(), "Couldn't read Header!");
    // 65535 x 65535 pixels would take 4 GiB; 60000 x 16000 fit the pixel
    // limit but not the few bytes of this file.
    ExpectRefusedCheaply(CutHeader(65535, 65535) + CutRow(Raw({0x81, 1, 0})), "huge.cut", "Couldn't read Header!");
    ExpectRefusedCheaply(CutHeader(60000, 16000) + CutRow(Raw({0x81, 1, 0})), "wide.cut", "Couldn't read Header!");
}

TEST_F(LegacyReaders, CutCutShortShowsTheRowsItHolds) {
    std::string bytes = CutHeader(3, 40);
    for (int y = 0; y < 40; ++y) bytes += CutRow(Raw({0x83, 1 + y, 0x00}));
    const auto picture = Load(bytes.substr(0, 6 + 5 * 25 + 4), "cut-short.cut");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 2, 24), (Colour{25, 25, 25}));
    EXPECT_EQ(test::PixelOf(picture, 0, 25), (Colour{26, 26, 26})) << "the run of the last row read";
    EXPECT_EQ(test::PixelOf(picture, 0, 26), (Colour{0, 0, 0}));
    SweepPrefixes(bytes, "sweep.cut", {"Couldn't read Header!"});
}

// ------------------------------------------------------------------------ HRZ

// The 6-bit red, green and blue of pixel (x, y), counted from the top left.
std::array<int, 3> HrzSample(int x, int y) { return {(x + y) % 64, (x * 3) % 64, 63 - y % 64}; }

std::string HrzFile() {
    std::string bytes;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 256; ++x) {
            for (int c : HrzSample(x, y)) bytes += static_cast<char>(c);
        }
    }
    return bytes;
}

TEST_F(LegacyReaders, HrzComponentsAreSixBitsTimesFour) {
    const std::string bytes = HrzFile();
    ASSERT_EQ(bytes.size(), 256u * 240 * 3);
    const auto picture = Load(bytes, "frame.hrz");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
    ASSERT_EQ(rgb.width, 256);
    ASSERT_EQ(rgb.height, 240);
    int wrong = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 256; ++x) {
            const auto sample = HrzSample(x, y);
            for (int c = 0; c < 3; ++c) wrong += rgb.At(x, y)[c] != sample[c] * 4;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(LegacyReaders, HrzBytesAboveSixBitsShowAtFullIntensity) {
    std::string bytes = HrzFile();
    bytes.replace(0, 6, std::string("\x40\x3F\xC8\x00\x41\xFF", 6));
    const auto picture = Load(bytes, "bright.hrz");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{255, 252, 255}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{0, 255, 255}));
}

TEST_F(LegacyReaders, HrzShortFileShowsWhatItHolds) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.hrz")).message(), "Couldn't open HRZ File!");
    const std::string bytes = HrzFile();
    // Ten rows and a half.
    const auto picture = Load(bytes.substr(0, 768 * 10 + 384), "short.hrz");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 5, 9), (Colour{14 * 4, 15 * 4, 54 * 4}));
    EXPECT_EQ(test::PixelOf(picture, 127, 10), (Colour{(137 % 64) * 4, (381 % 64) * 4, 53 * 4}));
    EXPECT_EQ(test::PixelOf(picture, 128, 10), (Colour{0, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 0, 11), (Colour{0, 0, 0}));
    // Every seventh length of the first four rows: each a picture.
    SweepPrefixes(bytes.substr(0, 3072), "sweep.hrz", {}, 7);
}

// -------------------------------------------------------------------- GEM IMG

// version 1, header length, planes, pattern length, 85 x 85 micrometres, size.
std::string GemHeader(unsigned words, unsigned planes, unsigned pattern, unsigned width, unsigned height,
                      unsigned micrometres = 85) {
    return Be16(1) + Be16(words) + Be16(planes) + Be16(pattern) + Be16(micrometres) + Be16(micrometres) +
           Be16(width) + Be16(height);
}

// The bits of a 1-plane picture's canvas row as text, '#' for black.
std::string BitRow(const test::LoadedPicture& picture, int y, int width) {
    std::string text;
    for (int x = 0; x < width; ++x) text += test::PixelOf(picture, x, y)[0] == 0 ? '#' : '.';
    return text;
}

TEST_F(LegacyReaders, GemOnePlaneCodes) {
    // 24 pixels wide: three bytes a row, pattern length 2.
    const std::string bytes = GemHeader(8, 1, 2, 24, 6) +
                              Raw({0x81, 0x02}) +                    // row 0: FF, then two 00
                              Raw({0x80, 0x03, 0xF0, 0x0F, 0xAA}) +  // row 1: a bit string
                              Raw({0x00, 0x02, 0xC3, 0x3C}) +        // row 2: pattern C3 3C twice, cut at 3 bytes
                              Raw({0x00, 0x00, 0xFF, 0x02}) +        // rows 3 and 4: one line shown twice
                              Raw({0x01, 0x82}) +                    // 00 FF FF
                              Raw({0x83});                           // row 5: FF FF FF
    const auto picture = Load(bytes, "codes.img");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 1);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 1);
    EXPECT_EQ(BitRow(picture, 0, 24), "########................");
    EXPECT_EQ(BitRow(picture, 1, 24), "####........#####.#.#.#.");
    EXPECT_EQ(BitRow(picture, 2, 24), "##....##..####..##....##");
    EXPECT_EQ(BitRow(picture, 3, 24), "........################");
    EXPECT_EQ(BitRow(picture, 4, 24), "........################");
    EXPECT_EQ(BitRow(picture, 5, 24), "########################");
}

TEST_F(LegacyReaders, GemPlanesMergeIntoGreyIndices) {
    // 4 planes, 8 pixels: plane k holds bit k of the index; pixel x gets index 2x + 1 (mod 16).
    std::string bytes = GemHeader(8, 4, 1, 8, 1);
    for (int plane = 0; plane < 4; ++plane) {
        int bits = 0;
        for (int x = 0; x < 8; ++x) bits |= (((2 * x + 1) % 16 >> plane) & 1) << (7 - x);
        bytes += Raw({0x80, 0x01, bits});
    }
    const auto picture = Load(bytes, "grey.img");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 4);
    for (int x = 0; x < 8; ++x) {
        const int grey = ((2 * x + 1) % 16) * 17;
        EXPECT_EQ(test::PixelOf(picture, x, 0), (Colour{grey, grey, grey})) << x;
    }
    // Three planes: the ramp's steps are 255 / 7.
    const auto three =
        Load(GemHeader(8, 3, 1, 8, 1) + Raw({0x81, 0x80, 0x01, 0xC0, 0x80, 0x01, 0x80}), "three.img");
    ASSERT_TRUE(three.ok()) << three.message();
    EXPECT_EQ(test::PixelOf(three, 0, 0), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(three, 1, 0), (Colour{109, 109, 109})) << "index 3";
    EXPECT_EQ(test::PixelOf(three, 2, 0), (Colour{36, 36, 36})) << "index 1";
}

TEST_F(LegacyReaders, GemNineWordHeaderHoldsRedGreenBlue) {
    // 24 planes, 3 x 2, pattern length 3; the ninth header word is skipped.
    const std::string bytes = GemHeader(9, 24, 3, 3, 2) + Be16(0) +
                              Raw({0x80, 0x06, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF}) + Raw({0x00, 0x01, 0x12, 0x34, 0x56}) +
                              Raw({0x00, 0x03, 0x01, 0x80, 0xFE});
    const auto picture = Load(bytes, "colour.gem");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{0, 0, 255}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{0x12, 0x34, 0x56}));
    EXPECT_EQ(test::PixelOf(picture, 2, 1), (Colour{1, 0x80, 0xFE}));
}

TEST_F(LegacyReaders, GemMessagesAndHostileSizes) {
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.img")).message(), "Couldn't open GEM File!");
    EXPECT_EQ(Load(GemHeader(8, 1, 1, 8, 1, 372) + Raw({0x81}), "paper.img").message(), "Invalid Header!");
    EXPECT_EQ(Load(GemHeader(8, 1, 1, 8, 1).substr(0, 15), "short.img").message(), "Invalid Header!");
    EXPECT_EQ(Load(GemHeader(8, 12, 1, 8, 1) + Raw({0x81}), "planes.img").message(), "Invalid Header!");
    EXPECT_EQ(Load(GemHeader(8, 1, 1, 0, 1), "empty.img").message(), "Invalid Header!");
    // 65535 x 65535 one-bit pixels are 512 MiB; 20 bytes cannot describe them.
    ExpectRefusedCheaply(GemHeader(8, 1, 1, 65535, 65535) + Raw({0x81, 0x81, 0x81, 0x81}), "huge.img",
                         "Invalid Header!");
    ExpectRefusedCheaply(GemHeader(9, 24, 3, 65535, 65535) + Be16(0) + Raw({0x81}), "huge.gem", "Invalid Header!");
}

TEST_F(LegacyReaders, GemCutShortAndEveryPrefix) {
    std::string bytes = GemHeader(8, 2, 1, 16, 20);
    for (int y = 0; y < 20; ++y) bytes += Raw({0x80, 0x02, y, 0xFF - y, 0x00, 0x02, y * 3});
    const auto picture = Load(bytes.substr(0, 16 + 7 * 10 + 3), "cut-short.img");
    ASSERT_TRUE(picture.ok()) << picture.message();
    // Row 9: plane 0 is 09 F6, plane 1 is 1B 1B; pixel 14 has both bits (index 3), pixel 15 only plane 1's.
    EXPECT_EQ(test::PixelOf(picture, 14, 9), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(picture, 15, 9), (Colour{170, 170, 170}));
    EXPECT_EQ(test::PixelOf(picture, 15, 11), (Colour{0, 0, 0}));
    SweepPrefixes(bytes, "sweep.img", {"Invalid Header!"});
}

// ------------------------------------------------------------------------ ZBR

// Magic 666 and the version, little-endian, 100 bytes of the metafile's own,
// 16 colours of blue, green, red, reserved, then 100 rows of 52 bytes with
// the bottom row first.
std::string ZbrFile(unsigned version = 3) {
    std::string bytes = Le16(666) + Le16(version) + std::string(100, '\x11');
    for (int i = 0; i < 16; ++i) bytes += Raw({i * 16, i * 8, 255 - i, 0});
    for (int fromBottom = 0; fromBottom < 100; ++fromBottom) {
        const int y = 99 - fromBottom;
        for (int pair = 0; pair < 52; ++pair) {
            const int left = (2 * pair + y) % 16, right = (2 * pair + 1 + 2 * y) % 16;
            bytes += static_cast<char>(pair < 50 ? left << 4 | right : 0);
        }
    }
    return bytes;
}

TEST_F(LegacyReaders, ZbrPreviewIsSixteenColoursBottomUp) {
    const std::string bytes = ZbrFile();
    ASSERT_EQ(bytes.size(), 104u + 5264u);
    const auto picture = Load(bytes, "drawing.zbr");
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 4);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 4);
    ASSERT_EQ(picture.canvas->width(), 100);
    ASSERT_EQ(picture.canvas->height(), 100);
    const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
    int wrong = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const int index = x % 2 == 0 ? (x + y) % 16 : (x + 2 * y) % 16;
            const uint8_t* p = rgb.At(x, y);
            wrong += p[0] != 255 - index || p[1] != index * 8 || p[2] != index * 16;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(LegacyReaders, ZbrMessages) {
    const std::string failed = "Failed to load ZBR Preview!";
    EXPECT_EQ(test::LoadPicture(folder_.File("missing.zbr")).message(), failed);
    EXPECT_TRUE(Load(ZbrFile(4), "four.zbr").ok());
    EXPECT_EQ(Load(ZbrFile(5), "five.zbr").message(), failed);
    std::string bigEndian = ZbrFile();
    bigEndian[0] = '\x02', bigEndian[1] = '\x9A';
    EXPECT_EQ(Load(bigEndian, "motorola.zbr").message(), failed);
    SweepPrefixes(ZbrFile(), "sweep.zbr", {failed});
    EXPECT_EQ(Load(ZbrFile().substr(0, 104 + 5263), "short.zbr").message(), failed);
}

}  // namespace
}  // namespace marbleye
