// Pictor PC Paint files built here from the published layout: a 17-byte
// little-endian header, the palette bytes, a block count, then the picture
// as one plane after another, each plane's rows from the bottom up, packed
// in run-length blocks (or stored when the count is 0).
#include <gtest/gtest.h>

#include <functional>

#include "formats/pic/Pic.h"
#include "support/MemoryUse.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;

std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

struct PictorFile {
    uint32_t width = 0, height = 0;
    uint8_t planeByte = 0x01;
    uint8_t videoMode = 'C';
    uint16_t paletteInfo = 0;
    std::string palette;
    // The unpacked picture bytes: plane 0's rows bottom first, then plane 1's, ...
    std::string picture;
    bool packed = true;
    size_t blockBytes = 1000;  // unpacked bytes per block
    uint8_t marker = 0xE7;

    std::string Header() const {
        return Le16(0x1234) + Le16(width) + Le16(height) + Le16(0) + Le16(0) + static_cast<char>(planeByte) + '\xFF' +
               static_cast<char>(videoMode) + Le16(paletteInfo) + Le16(static_cast<uint32_t>(palette.size())) + palette;
    }

    // Runs of four or more equal bytes, and every marker byte, become
    // marker, count (or 0 and a 16-bit count) and value.
    std::string Pack(const std::string& bytes) const {
        std::string coded;
        for (size_t i = 0; i < bytes.size();) {
            size_t run = 1;
            while (i + run < bytes.size() && bytes[i + run] == bytes[i] && run < 65535) ++run;
            if (run >= 4 || static_cast<uint8_t>(bytes[i]) == marker) {
                coded += static_cast<char>(marker);
                coded += run < 256 ? std::string(1, static_cast<char>(run)) : '\0' + Le16(static_cast<uint32_t>(run));
                coded += bytes[i];
                i += run;
            } else {
                coded += bytes[i++];
            }
        }
        return coded;
    }

    std::string Bytes() const {
        if (!packed) return Header() + Le16(0) + picture;
        std::string blocks;
        uint32_t count = 0;
        for (size_t at = 0; at < picture.size(); at += blockBytes, ++count) {
            const std::string part = picture.substr(at, blockBytes);
            const std::string coded = Pack(part);
            blocks += Le16(static_cast<uint32_t>(coded.size() + 5)) + Le16(static_cast<uint32_t>(part.size())) +
                      static_cast<char>(marker) + coded;
        }
        return Header() + Le16(count) + blocks;
    }
};

// The plane rows of a picture given as a pixel value for each (x, y) from
// the top left: bitsPerPlane bits a sample, high bits first, rows padded to bytes.
std::string PlaneRows(uint32_t width, uint32_t height, int planes, int bitsPerPlane,
                      const std::function<int(uint32_t, uint32_t)>& value) {
    std::string bytes;
    const size_t rowBytes = (width * bitsPerPlane + 7) / 8;
    for (int plane = 0; plane < planes; ++plane) {
        for (uint32_t row = 0; row < height; ++row) {
            std::string line(rowBytes, '\0');
            for (uint32_t x = 0; x < width; ++x) {
                const int sample = (value(x, height - 1 - row) >> (plane * bitsPerPlane)) & ((1 << bitsPerPlane) - 1);
                const size_t bit = x * bitsPerPlane;
                line[bit / 8] = static_cast<char>(line[bit / 8] | sample << (8 - bitsPerPlane - bit % 8));
            }
            bytes += line;
        }
    }
    return bytes;
}

// EGA colour codes and the colours they stand for.
struct EgaColour {
    uint8_t code;
    Colour rgb;
};
const EgaColour kEga[16] = {
    {0x00, {0, 0, 0}},          {0x01, {0, 0, 0x80}},       {0x02, {0, 0x80, 0}},       {0x04, {0x80, 0, 0}},
    {0x08, {0, 0, 0x40}},       {0x10, {0, 0x40, 0}},       {0x20, {0x40, 0, 0}},       {0x3F, {0xC0, 0xC0, 0xC0}},
    {0x07, {0x80, 0x80, 0x80}}, {0x38, {0x40, 0x40, 0x40}}, {0x14, {0x80, 0x40, 0}},    {0x05, {0x80, 0, 0x80}},
    {0x03, {0, 0x80, 0x80}},    {0x06, {0x80, 0x80, 0}},    {0x2A, {0x40, 0x80, 0x40}}, {0x15, {0x80, 0x40, 0x80}},
};

class PictorTest : public ::testing::Test {
protected:
    test::LoadedPicture Load(const std::string& bytes) {
        test::WriteFileBytes(Path(), bytes);
        return test::LoadPicture(Path());
    }
    std::string Path() { return folder_.File("picture.pic"); }
    test::TempFolder folder_;
};

TEST_F(PictorTest, OneBitPicturesAreBlackAndWhiteFromTheBottomUp) {
    const auto value = [](uint32_t x, uint32_t y) { return static_cast<int>((x * 3 + y) % 5 == 0 || y == 0); };
    PictorFile file;
    file.width = 10, file.height = 3, file.planeByte = 0x01;
    file.palette = "\x3F\x3F";  // ignored: one bit is always black and white
    file.picture = PlaneRows(10, 3, 1, 1, value);
    for (bool packed : {false, true}) {
        file.packed = packed;
        const auto picture = Load(file.Bytes());
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, 1);
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 1);
        for (uint32_t y = 0; y < 3; ++y) {
            for (uint32_t x = 0; x < 10; ++x) {
                const int level = value(x, y) ? 255 : 0;
                EXPECT_EQ(test::PixelOf(picture, x, y), (Colour{level, level, level})) << x << "," << y << " " << packed;
            }
        }
    }
}

TEST_F(PictorTest, FourPlanesMakeSixteenEgaColours) {
    // 13 x 3, plane k holding bit k of every pixel.
    const auto value = [](uint32_t x, uint32_t y) { return static_cast<int>((x * 5 + y * 7) % 16); };
    PictorFile file;
    file.width = 13, file.height = 3, file.planeByte = 0x31, file.videoMode = 'G', file.paletteInfo = 3;
    for (const EgaColour& colour : kEga) file.palette += static_cast<char>(colour.code);
    file.picture = PlaneRows(13, 3, 4, 1, value);
    file.blockBytes = 7;  // blocks end in the middle of rows
    const auto picture = Load(file.Bytes());
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 4);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 4);
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < 13; ++x) EXPECT_EQ(test::PixelOf(picture, x, y), kEga[value(x, y)].rgb) << x << "," << y;
    }
}

TEST_F(PictorTest, TwoBitPicturesPackedOrInPlanes) {
    // A CGA-like picture: black, cyan, magenta and light grey.
    const Colour expected[4] = {kEga[0].rgb, kEga[12].rgb, kEga[11].rgb, kEga[8].rgb};
    const std::string palette = {static_cast<char>(kEga[0].code), static_cast<char>(kEga[12].code),
                                 static_cast<char>(kEga[11].code), static_cast<char>(kEga[8].code)};
    const auto value = [](uint32_t x, uint32_t y) { return static_cast<int>((x + 2 * y + x / 3) % 4); };
    struct Layout {
        uint8_t planeByte;
        int planes, bits;
    };
    for (const Layout layout : {Layout{0x02, 1, 2}, Layout{0x11, 2, 1}}) {
        PictorFile file;
        file.width = 11, file.height = 4, file.planeByte = layout.planeByte, file.videoMode = 'A';
        file.palette = palette;
        file.picture = PlaneRows(11, 4, layout.planes, layout.bits, value);
        const auto picture = Load(file.Bytes());
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, 2);
        for (uint32_t y = 0; y < 4; ++y) {
            for (uint32_t x = 0; x < 11; ++x) {
                EXPECT_EQ(test::PixelOf(picture, x, y), expected[value(x, y)])
                    << x << "," << y << " plane byte " << int{layout.planeByte};
            }
        }
    }
}

TEST_F(PictorTest, EightBitsWithASixBitPaletteAndLongRuns) {
    // 150 x 4; the bottom two rows hold one run of 300, the top ones vary,
    // and the marker value itself is a pixel.
    const auto value = [](uint32_t x, uint32_t y) { return y >= 2 ? 0x21 : static_cast<int>((x * 7 + y * 3) % 256); };
    PictorFile file;
    file.width = 150, file.height = 4, file.planeByte = 0x08, file.videoMode = 'L', file.paletteInfo = 4;
    file.marker = 0x23;
    for (int i = 0; i < 256; ++i) file.palette += {static_cast<char>(i % 64), static_cast<char>(63 - i % 64),
                                                   static_cast<char>(i / 4)};
    file.picture = PlaneRows(150, 4, 1, 8, value);
    file.blockBytes = 400;
    const std::string bytes = file.Bytes();
    ASSERT_NE(bytes.find(std::string("\x23\x00\x2C\x01\x21", 5)), std::string::npos) << "the long count form is used";
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.fileBitDepth, 8);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 8);
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 150; ++x) {
            const int i = value(x, y);
            EXPECT_EQ(test::PixelOf(picture, x, y), (Colour{i % 64 * 4, (63 - i % 64) * 4, i / 4 * 4})) << x << "," << y;
        }
    }
}

TEST_F(PictorTest, PalettesByVideoModeAndDefaults) {
    // Four bits in the 'M' mode: the palette is six-bit red, green, blue.
    PictorFile vga;
    vga.width = 2, vga.height = 1, vga.planeByte = 0x31, vga.videoMode = 'M', vga.paletteInfo = 5;
    vga.palette = std::string("\x01\x02\x03\x3F\x20\x10", 6);
    vga.picture = PlaneRows(2, 1, 4, 1, [](uint32_t x, uint32_t) { return static_cast<int>(x); });
    const auto mode = Load(vga.Bytes());
    ASSERT_TRUE(mode.ok()) << mode.message();
    EXPECT_EQ(test::PixelOf(mode, 0, 0), (Colour{4, 8, 12}));
    EXPECT_EQ(test::PixelOf(mode, 1, 0), (Colour{0xFC, 0x80, 0x40}));

    // Without palette bytes: the EGA's own sixteen colours, and grey at 8 bits.
    PictorFile ega;
    ega.width = 16, ega.height = 1, ega.planeByte = 0x31;
    ega.picture = PlaneRows(16, 1, 4, 1, [](uint32_t x, uint32_t) { return static_cast<int>(x); });
    const auto defaults = Load(ega.Bytes());
    ASSERT_TRUE(defaults.ok()) << defaults.message();
    EXPECT_EQ(test::PixelOf(defaults, 1, 0), (Colour{0, 0, 0x80}));
    EXPECT_EQ(test::PixelOf(defaults, 6, 0), (Colour{0x80, 0x40, 0})) << "brown, code 0x14";
    EXPECT_EQ(test::PixelOf(defaults, 15, 0), (Colour{0xC0, 0xC0, 0xC0}));
    PictorFile grey;
    grey.width = 2, grey.height = 1, grey.planeByte = 0x08, grey.picture = "\x10\xF0";
    EXPECT_EQ(test::PixelOf(Load(grey.Bytes()), 1, 0), (Colour{0xF0, 0xF0, 0xF0}));
}

TEST_F(PictorTest, Messages) {
    PictorFile good;
    good.width = 8, good.height = 1, good.picture = "\xAA";
    EXPECT_TRUE(Load(good.Bytes()).ok());
    const std::string valid = good.Bytes();
    std::string badMagic = valid;
    badMagic[1] = 0x13;
    EXPECT_EQ(Load(badMagic).message(), "This is not a valid Pictor PC Paint File!");
    for (uint8_t planeByte : {0x03, 0x19, 0x00, 0x81, 0x18}) {
        PictorFile odd = good;
        odd.planeByte = planeByte;
        EXPECT_EQ(Load(odd.Bytes()).message(), "This is not a valid Pictor PC Paint File!") << int{planeByte};
    }
    PictorFile empty = good;
    empty.width = 0;
    EXPECT_EQ(Load(empty.Bytes()).message(), "This is not a valid Pictor PC Paint File!");
    PictorFile longPalette = good;
    longPalette.palette = "\x01\x02";
    EXPECT_EQ(Load(longPalette.Header().substr(0, 18)).message(), "This is not a valid Pictor PC Paint File!")
        << "the palette is cut short";

    test::LoadedPicture picture;
    const LoadOptions options;
    LoadContext context{*picture.canvas, picture.image, options, QuietHost()};
    EXPECT_EQ(ReadPictor(folder_.File("missing.pic"), context).message(), "Couldn't open PIC File!");
}

TEST_F(PictorTest, EveryPrefixGivesAPictureOrAMessage) {
    PictorFile file;
    file.width = 21, file.height = 5, file.planeByte = 0x31, file.paletteInfo = 3;
    for (const EgaColour& colour : kEga) file.palette += static_cast<char>(colour.code);
    file.picture = PlaneRows(21, 5, 4, 1, [](uint32_t x, uint32_t y) { return static_cast<int>((x / 4 + y) % 16); });
    file.blockBytes = 16;
    const std::string bytes = file.Bytes();
    const size_t blocksStart = 17 + 16 + 2;
    for (size_t length = 0; length <= bytes.size(); ++length) {
        const auto cut = Load(bytes.substr(0, length));
        if (length < blocksStart) {
            EXPECT_EQ(cut.message(), "This is not a valid Pictor PC Paint File!") << length;
        } else {
            EXPECT_TRUE(cut.ok()) << length << ": " << cut.message();
        }
    }
    // Cut after the first plane: only bit 0 of every pixel is there.
    PictorFile stored = file;
    stored.packed = false;
    const auto half = Load(stored.Bytes().substr(0, blocksStart + 3 * 5));
    ASSERT_TRUE(half.ok()) << half.message();
    EXPECT_EQ(test::PixelOf(half, 4, 4), kEga[1].rgb) << "value 5 keeps only its bit 0";
    EXPECT_EQ(test::PixelOf(half, 8, 4), kEga[0].rgb) << "value 6 has no bit 0";
}

TEST_F(PictorTest, HostileSizesCostNothing) {
    for (bool packed : {false, true}) {
        PictorFile file;
        file.width = 65535, file.height = 65535, file.planeByte = 0x08, file.packed = packed;
        file.picture = std::string(300, '\x05');
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(file.Bytes()); });
        EXPECT_EQ(loaded.message(), "This is not a valid Pictor PC Paint File!") << packed;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << packed;
    }
}

TEST_F(PictorTest, LongRunsMayDescribeMuchMoreThanTheFileHolds) {
    // 2000 x 2000 bytes from runs of 65535: a few kilobytes of blocks.
    PictorFile file;
    file.width = 2000, file.height = 2000, file.planeByte = 0x08;
    file.picture = std::string(2000 * 1999, '\x40') + std::string(2000, '\x41');
    file.blockBytes = 60000;
    const std::string bytes = file.Bytes();
    ASSERT_LT(bytes.size(), test::kSmallFileBytes);
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 1999), (Colour{0x40, 0x40, 0x40}));
    EXPECT_EQ(test::PixelOf(picture, 1999, 1), (Colour{0x40, 0x40, 0x40}));
    EXPECT_EQ(test::PixelOf(picture, 1999, 0), (Colour{0x41, 0x41, 0x41})) << "the last row stored is the top";
}

}  // namespace
}  // namespace marbleye
