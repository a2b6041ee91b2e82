#include <gtest/gtest.h>

#include <algorithm>

#include "support/IffBuilder.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;
using test::IffPicture;

// A palette of n colours, each distinct and none grey: red 8i+3, green
// 255-5i, blue 40+3i.
std::vector<uint8_t> DistinctPalette(int n) {
    std::vector<uint8_t> palette;
    for (int i = 0; i < n; ++i) {
        palette.push_back(static_cast<uint8_t>(8 * i + 3));
        palette.push_back(static_cast<uint8_t>(255 - 5 * i));
        palette.push_back(static_cast<uint8_t>(40 + 3 * i));
    }
    return palette;
}

Colour PaletteColour(const std::vector<uint8_t>& palette, uint32_t index) {
    return {palette[index * 3], palette[index * 3 + 1], palette[index * 3 + 2]};
}

// An asymmetric picture of indices below 2^bits.
IffPicture IndexedPicture(const std::string& formType, uint16_t width, uint16_t height, uint8_t bits) {
    IffPicture p;
    p.formType = formType;
    p.width = width, p.height = height, p.planes = bits;
    p.palette = DistinctPalette(1 << bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) p.pixels.push_back(static_cast<uint32_t>(x * 7 + y * 3 + x * y) % (1u << bits));
    }
    return p;
}

class Iff : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes) { return LoadBytes(bytes, "picture.iff"); }

    // Every pixel shows the palette colour of its index.
    void ExpectIndexedPicture(const IffPicture& p, const std::string& what) {
        const auto picture = Load(test::IffFile(p));
        ASSERT_TRUE(picture.ok()) << what << ": " << picture.message();
        ASSERT_EQ(picture.canvas->width(), p.width) << what;
        ASSERT_EQ(picture.canvas->height(), p.height) << what;
        EXPECT_EQ(picture.image.fileBitDepth, p.planes) << what;
        int wrong = 0;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                if (test::PixelOf(picture, x, y) != PaletteColour(p.palette, p.pixels[y * p.width + x])) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << what;
    }
};

TEST_F(Iff, Messages) {
    EXPECT_EQ(test::LoadPicture(folder_.File("none.iff")).message(), "Couldn't open IFF File!");
    EXPECT_EQ(Load("junk").message(), "Unkown IFF Header!");
    const IffPicture good = IndexedPicture("ILBM", 5, 3, 2);
    std::string other = test::IffFile(good);
    other.replace(0, 4, "FOR4");
    EXPECT_EQ(Load(other).message(), "Unkown IFF Header!") << "only FORM, LIST and CAT open a file";

    const std::string header = test::IffChunk("BMHD", test::IffBitmapHeader(good));
    const std::string body = test::IffChunk("BODY", test::IffBodyData(good));
    EXPECT_EQ(Load("FORM" + test::IffBigEndian32(4 + header.size()) + "ILBM" + header).message(),
              "Unkown IFF Header!") << "no BODY";
    EXPECT_EQ(Load("FORM" + test::IffBigEndian32(4 + body.size()) + "ILBM" + body + header).message(),
              "Unkown IFF Header!") << "a BODY before the BMHD";

    IffPicture deep = good;
    deep.planes = 32;
    deep.palette.clear();
    EXPECT_EQ(Load(test::IffFile(deep)).message(), "Unkown IFF Header!") << "32 planes";
    IffPicture chunky = IndexedPicture("PBM ", 5, 3, 6);
    EXPECT_EQ(Load(test::IffFile(chunky)).message(), "Unkown IFF Header!") << "6-bit chunky pixels";
    IffPicture empty = good;
    empty.width = 0;
    empty.pixels.clear();
    EXPECT_EQ(Load(test::IffFile(empty)).message(), "Unkown IFF Header!") << "no width";

    // A CMAP of 16 colours whose file ends after 10 of its bytes.
    const std::string cut = "FORM" + test::IffBigEndian32(100) + "ILBM" + header + "CMAP" + test::IffBigEndian32(48) +
                            std::string(10, '\x11');
    EXPECT_EQ(Load(cut).message(), "Palette Error!");
}

TEST_F(Iff, InterleavedPlanesMergeIntoIndices) {
    for (bool compress : {false, true}) {
        for (uint8_t planes : {1, 3, 5, 8}) {
            for (uint16_t width : {13, 16, 33}) {  // plane rows padded to 16 bits
                IffPicture p = IndexedPicture("ILBM", width, 7, planes);
                p.compress = compress;
                ExpectIndexedPicture(p, std::to_string(planes) + " planes, width " + std::to_string(width) +
                                            (compress ? ", ByteRun1" : ""));
            }
        }
    }
}

TEST_F(Iff, AMaskPlaneAfterEachRowIsSkipped) {
    for (bool compress : {false, true}) {
        IffPicture p = IndexedPicture("ILBM", 21, 6, 4);
        p.masking = 1;
        p.compress = compress;
        // A mask unlike any picture plane, so that reading it as one shows.
        for (int i = 0; i < 6 * 4; ++i) p.maskBits.push_back(static_cast<uint8_t>(0xA5 ^ i));
        ExpectIndexedPicture(p, compress ? "masked, ByteRun1" : "masked");
    }
}

TEST_F(Iff, ChunkyRowsOfFourAndEightBits) {
    for (bool compress : {false, true}) {
        for (uint8_t bits : {4, 8}) {
            for (uint16_t width : {7, 8, 9}) {  // rows padded to an even number of bytes
                IffPicture p = IndexedPicture("PBM ", width, 5, bits);
                p.compress = compress;
                ExpectIndexedPicture(p, std::to_string(bits) + " bits, width " + std::to_string(width) +
                                            (compress ? ", ByteRun1" : ""));
            }
        }
    }
}

TEST_F(Iff, TwentyFourPlanesAreRedGreenBlue) {
    IffPicture p;
    p.width = 3, p.height = 2, p.planes = 24, p.compress = true;
    // Stored with red in planes 0-7, green in 8-15 and blue in 16-23.
    p.pixels = {0x0000FF, 0x00FF00, 0xFF0000, 0x563412, 0x010203, 0x808080};
    const auto picture = Load(test::IffFile(p));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{255, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{0, 255, 0}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{0, 0, 255}));
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (Colour{0x12, 0x34, 0x56}));
    EXPECT_EQ(test::PixelOf(picture, 1, 1), (Colour{3, 2, 1}));
}

TEST_F(Iff, ByteRun1Codes) {
    // One chunky row of six bytes: 128 codes nothing, 0xFD repeats the next
    // byte four times, 0x01 copies two bytes.
    IffPicture p = IndexedPicture("PBM ", 6, 1, 8);
    p.compress = true;
    const std::string body = std::string("\x80\xFD\x07\x01\x02\x03", 6);
    const std::string file = "FORM" + test::IffBigEndian32(0) + "PBM " + test::IffChunk("BMHD", test::IffBitmapHeader(p)) +
                             test::IffChunk("CMAP", std::string(p.palette.begin(), p.palette.end())) +
                             test::IffChunk("BODY", body);
    const auto picture = Load(file);
    ASSERT_TRUE(picture.ok()) << picture.message();
    const uint8_t expected[] = {7, 7, 7, 7, 2, 3};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(picture.canvas->Row(0)[x], expected[x]) << x;
}

TEST_F(Iff, PaletteRules) {
    // A CMAP of 300 colours is cut at 256; the chunk after it is still found.
    IffPicture p = IndexedPicture("ILBM", 4, 1, 8);
    p.pixels = {0, 255, 17, 1};
    p.palette = DistinctPalette(256);
    for (int i = 0; i < 44 * 3; ++i) p.palette.push_back(0xEE);
    ExpectIndexedPicture(p, "a long CMAP");
    // A CMAP of an odd size is followed by a pad byte.
    IffPicture odd = IndexedPicture("ILBM", 5, 2, 2);
    odd.palette.resize(3 * 3);
    for (uint32_t& value : odd.pixels) value %= 3;
    ExpectIndexedPicture(odd, "a CMAP of three colours");

    // Without a CMAP, values are shades of grey from black to white.
    IffPicture grey = IndexedPicture("ILBM", 4, 1, 2);
    grey.palette.clear();
    grey.pixels = {0, 1, 2, 3};
    const auto picture = Load(test::IffFile(grey));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{0, 0, 0}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{85, 85, 85}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{170, 170, 170}));
    EXPECT_EQ(test::PixelOf(picture, 3, 0), (Colour{255, 255, 255}));
}

TEST_F(Iff, ExtraHalfBriteDoublesThePalette) {
    IffPicture p = IndexedPicture("ILBM", 7, 3, 6);
    p.palette = DistinctPalette(32);
    p.viewModes = true, p.modes = 0x80;
    p.pixels[0] = 40, p.pixels[1] = 8, p.pixels[2] = 63;
    const auto picture = Load(test::IffFile(p));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 6);
    const Colour eight = PaletteColour(p.palette, 8);
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{eight[0] / 2, eight[1] / 2, eight[2] / 2}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), eight);
    const Colour last = PaletteColour(p.palette, 31);
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{last[0] / 2, last[1] / 2, last[2] / 2}));
}

TEST_F(Iff, HoldAndModifyWithSixPlanes) {
    IffPicture p;
    p.width = 6, p.height = 2, p.planes = 6, p.compress = true;
    p.palette = DistinctPalette(16);
    p.viewModes = true, p.modes = 0x800;
    // Control bits (planes 4 and 5): 0 colour, 1 blue, 2 red, 3 green.
    p.pixels = {0x03, 0x1A, 0x25, 0x3F, 0x07, 0x10,   // colour 3, blue A, red 5, green F, colour 7, blue 0
                0x1C, 0x21, 0x02, 0x00, 0x3E, 0x11};  // blue C from colour 0, red 1, colour 2, colour 0, green E, blue 1
    const auto picture = Load(test::IffFile(p));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 24);
    const Colour c3 = PaletteColour(p.palette, 3), c7 = PaletteColour(p.palette, 7);
    const Colour c0 = PaletteColour(p.palette, 0), c2 = PaletteColour(p.palette, 2);
    const std::vector<Colour> expected = {
        c3, {c3[0], c3[1], 0xAA}, {0x55, c3[1], 0xAA}, {0x55, 0xFF, 0xAA}, c7, {c7[0], c7[1], 0},
        {c0[0], c0[1], 0xCC}, {0x11, c0[1], 0xCC}, c2, c0, {c0[0], 0xEE, c0[2]}, {c0[0], 0xEE, 0x11}};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(test::PixelOf(picture, i % 6, i / 6), expected[i]) << i;
}

TEST_F(Iff, HoldAndModifyWithEightPlanes) {
    IffPicture p;
    p.width = 4, p.height = 1, p.planes = 8;
    p.palette = {0x13, 0x57, 0x9B};  // colour 0
    for (int i = 1; i < 64; ++i) p.palette.insert(p.palette.end(), {0x21, 0x42, 0x63});
    p.viewModes = true, p.modes = 0x800;
    // Control bits (planes 6 and 7); 6-bit data replaces a component's high six bits.
    p.pixels = {0x40 | 0x3F, 0x80 | 0x01, 0xC0 | 0x20, 0x05};  // blue, red, green, colour 5
    const auto picture = Load(test::IffFile(p));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 0), (Colour{0x13, 0x57, 0xFC | (0x9B & 3)}));
    EXPECT_EQ(test::PixelOf(picture, 1, 0), (Colour{0x04 | (0x13 & 3), 0x57, 0xFF}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{0x07, 0x80 | (0x57 & 3), 0xFF}));
    EXPECT_EQ(test::PixelOf(picture, 3, 0), (Colour{0x21, 0x42, 0x63}));
}

TEST_F(Iff, ListsAndCataloguesShowTheirFirstPicture) {
    const IffPicture first = IndexedPicture("ILBM", 9, 4, 3), second = IndexedPicture("ILBM", 5, 2, 3);
    const std::string forms = test::IffFile(first) + test::IffFile(second);
    for (const std::string container : {"CAT ", "LIST"}) {
        const auto picture = Load(container + test::IffBigEndian32(4 + forms.size()) + "ILBM" + forms);
        ASSERT_TRUE(picture.ok()) << container << ": " << picture.message();
        EXPECT_EQ(picture.canvas->width(), 9) << container;
        EXPECT_EQ(test::PixelOf(picture, 8, 3), PaletteColour(first.palette, first.pixels[3 * 9 + 8])) << container;
    }
}

TEST_F(Iff, EveryCutOfAFileGivesAPictureOrAMessage) {
    IffPicture indexed = IndexedPicture("ILBM", 19, 9, 5);
    indexed.compress = true;
    IffPicture deep;
    deep.width = 11, deep.height = 5, deep.planes = 24, deep.compress = true;
    for (uint32_t i = 0; i < 55; ++i) deep.pixels.push_back(i * 0x030507);
    for (const IffPicture& p : {indexed, deep}) {
        const std::string file = test::IffFile(p);
        const auto whole = Load(file);
        ASSERT_TRUE(whole.ok()) << whole.message();
        const ImageCanvas& full = *whole.canvas;
        const size_t rowBytes = static_cast<size_t>(full.stride());
        for (size_t length = 0; length < file.size(); ++length) {
            const auto cut = Load(file.substr(0, length));
            if (!cut.ok()) {
                EXPECT_TRUE(cut.message() == "Unkown IFF Header!" || cut.message() == "Palette Error!")
                    << length << ": " << cut.message();
                continue;
            }
            // Rows from the top are as in the full picture up to where the
            // data ended; the rest keep the canvas's fill, zero bytes.
            ASSERT_EQ(cut.canvas->byteCount(), full.byteCount()) << length;
            bool ended = false;
            for (int y = 0; y < full.height(); ++y) {
                const int32_t row = full.height() - 1 - y;
                const uint8_t* bytes = cut.canvas->Row(row);
                const bool same = std::equal(bytes, bytes + rowBytes, full.Row(row));
                const bool zero = std::all_of(bytes, bytes + rowBytes, [](uint8_t v) { return v == 0; });
                if (!same) ended = true;
                EXPECT_TRUE(ended ? zero : same) << "cut at " << length << ", row " << y;
            }
        }
    }
}

TEST_F(Iff, AHeaderClaimingMoreThanTheFileHoldsCostsNothing) {
    for (bool compress : {false, true}) {
        IffPicture p;
        p.width = 65535, p.height = 65535, p.planes = 24, p.compress = compress;
        const std::string header = test::IffChunk("BMHD", test::IffBitmapHeader(p));
        const std::string file = "FORM" + test::IffBigEndian32(0) + "ILBM" + header +
                                 test::IffChunk("BODY", std::string("\x81\x11\x81\x22", 4));
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(file); });
        EXPECT_EQ(loaded.message(), "Unkown IFF Header!") << compress;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << compress;
    }
}

TEST_F(Iff, EveryRunMayStandFor128Bytes) {
    // 2048 x 1024 chunky pixels in 32 KiB: sixteen runs of 128 bytes a row.
    IffPicture p;
    p.formType = "PBM ", p.width = 2048, p.height = 1024, p.planes = 8, p.compress = true;
    std::string body;
    for (int y = 0; y < 1024; ++y) {
        for (int run = 0; run < 16; ++run) body += {'\x81', static_cast<char>(y % 200)};
    }
    const std::string file = "FORM" + test::IffBigEndian32(0) + "PBM " +
                             test::IffChunk("BMHD", test::IffBitmapHeader(p)) + test::IffChunk("BODY", body);
    ASSERT_LT(file.size(), test::kSmallFileBytes);
    const auto picture = Load(file);
    ASSERT_TRUE(picture.ok()) << picture.message();
    for (int y = 0; y < 1024; ++y) {
        const uint8_t* row = picture.canvas->Row(1023 - y);
        ASSERT_EQ(std::count(row, row + 2048, static_cast<uint8_t>(y % 200)), 2048) << "row " << y;
    }
}

}  // namespace
}  // namespace marbleye
