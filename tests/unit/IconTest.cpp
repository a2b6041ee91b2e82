#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <string>
#include <vector>

#include "formats/icon/Icon.h"
#include "support/MemoryUse.h"
#include "support/TempFolder.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Colour = std::array<int, 3>;
constexpr const char* kFailed = "Couldn't load Iconfile!";

// Icon files written field by field from the published layout.

std::string U8(uint32_t v) {
    return std::string(1, static_cast<char>(v & 0xFF));
}
std::string U16(uint32_t v) {
    return U8(v) + U8(v >> 8);
}
std::string U32(uint32_t v) {
    return U16(v) + U16(v >> 16);
}
std::string U32BE(uint32_t v) {
    return U8(v >> 24) + U8(v >> 16) + U8(v >> 8) + U8(v);
}

// One image of an icon file with what its directory entry says about it.
struct Image {
    std::string data;
    uint8_t entryWidth = 0, entryHeight = 0;
    uint16_t entryBits = 0;
};

// Reserved 0, type 1, count, then per image: width, height, colour count,
// reserved, planes, bit count, byte count, offset; then the images.
std::string IconFile(const std::vector<Image>& images, uint16_t type = 1) {
    std::string out = U16(0) + U16(type) + U16(static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (const Image& image : images) {
        out += U8(image.entryWidth) + U8(image.entryHeight) + U8(0) + U8(0) + U16(1) + U16(image.entryBits) +
               U32(static_cast<uint32_t>(image.data.size())) + U32(offset);
        offset += static_cast<uint32_t>(image.data.size());
    }
    for (const Image& image : images) out += image.data;
    return out;
}

// Pixel values: palette indices at 1, 4 and 8 bits, 0xAARRGGBB above.
using PixelAt = std::function<uint32_t(int x, int y)>;  // x, y from the top left
using MaskAt = std::function<bool(int x, int y)>;       // true: transparent
const MaskAt kOpaque = [](int, int) { return false; };

// A BITMAPINFOHEADER image (height doubled for the mask), palette entries of
// blue, green, red, 0; colour rows then mask rows, bottom-up, 4-byte padded.
Image Bitmap(int width, int height, int bits, const PixelAt& pixel, const MaskAt& transparent = kOpaque,
             const std::vector<uint32_t>& palette = {}, int clrUsed = -1) {
    std::string out = U32(40) + U32(width) + U32(height * 2) + U16(1) + U16(bits) + U32(0) + U32(0) + U32(0) + U32(0) +
                      U32(clrUsed >= 0 ? clrUsed : static_cast<int>(palette.size())) + U32(0);
    for (uint32_t rgb : palette) out += U8(rgb) + U8(rgb >> 8) + U8(rgb >> 16) + U8(0);
    const int colourStride = (width * bits + 31) / 32 * 4, maskStride = (width + 31) / 32 * 4;
    for (int y = height - 1; y >= 0; --y) {
        std::string row(colourStride, '\0');
        for (int x = 0; x < width; ++x) {
            const uint32_t v = pixel(x, y);
            switch (bits) {
                case 1: row[x / 8] = static_cast<char>(row[x / 8] | (v << (7 - x % 8))); break;
                case 4: row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 ? v : v << 4)); break;
                case 8: row[x] = static_cast<char>(v); break;
                case 16: row.replace(x * 2, 2, U16(v)); break;
                case 24: row.replace(x * 3, 3, U16(v) + U8(v >> 16)); break;
                default: row.replace(x * 4, 4, U32(v)); break;
            }
        }
        out += row;
    }
    for (int y = height - 1; y >= 0; --y) {
        std::string row(maskStride, '\0');
        for (int x = 0; x < width; ++x) {
            if (transparent(x, y)) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
        out += row;
    }
    return Image{out, static_cast<uint8_t>(width), static_cast<uint8_t>(height), static_cast<uint16_t>(bits)};
}

Image Solid(int side, uint32_t rgb, int bits = 24) {
    return Bitmap(side, side, bits, [rgb](int, int) { return rgb; });
}

// A PNG of 8-bit samples (colour type 2 or 6), deflated with zlib, rows from
// the top with filter byte 0.
std::string Chunk(const std::string& name, const std::string& data) {
    const std::string typed = name + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    return U32BE(static_cast<uint32_t>(data.size())) + typed + U32BE(static_cast<uint32_t>(crc));
}
Image Png(int width, int height, bool alpha, const PixelAt& pixel) {
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            const uint32_t v = pixel(x, y);
            raw += U8(v >> 16) + U8(v >> 8) + U8(v);
            if (alpha) raw += U8(v >> 24);
        }
    }
    std::string packed(compressBound(static_cast<uLong>(raw.size())), '\0');
    uLongf packedSize = static_cast<uLongf>(packed.size());
    compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    const std::string header = U32BE(width) + U32BE(height) + U8(8) + U8(alpha ? 6 : 2) + U8(0) + U8(0) + U8(0);
    const std::string png =
        std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", packed) + Chunk("IEND", "");
    return Image{png, 0, 0, 32};
}

class CountingHost : public Host {
public:
    explicit CountingHost(IconLoad answer) : answer_(answer) {}
    IconLoad LoadIconThroughSystem(const std::string& path, ImageCanvas& canvas) override {
        ++calls;
        lastPath = path;
        if (answer_ == IconLoad::kLoaded) canvas.Create(32, 32, 24, 0x40, Palette256{});
        return answer_;
    }
    int calls = 0;
    std::string lastPath;

private:
    IconLoad answer_;
};

class Icon : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes, Host& host = QuietHost()) {
        return LoadBytes(bytes, "picture.ico", LoadOptions(), host);
    }
};

Colour Rgb(uint32_t v) {
    return Colour{static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF)};
}

TEST_F(Icon, MalformedFilesGiveTheMessage) {
    const std::string good = IconFile({Solid(32, 0x102030)});
    EXPECT_TRUE(Load(good).ok());
    EXPECT_EQ(Load("").message(), kFailed);
    EXPECT_EQ(Load(U16(0) + U16(1) + U16(0)).message(), kFailed) << "no images";
    EXPECT_EQ(Load(good.substr(0, 20)).message(), kFailed) << "the directory is cut short";
    std::string farAway = good;
    farAway.replace(18, 4, U32(100000));  // the only entry's offset
    EXPECT_EQ(Load(farAway).message(), kFailed);
    std::string sevenBits = good;
    sevenBits.replace(22 + 14, 2, U16(7));  // the bitmap header's bit count
    EXPECT_EQ(Load(sevenBits).message(), kFailed);
    std::string packed = good;
    packed.replace(22 + 16, 4, U32(1));  // run-length compression
    EXPECT_EQ(Load(packed).message(), kFailed);
    EXPECT_EQ(test::LoadPicture(folder_.File("none.ico")).message(), kFailed);
}

TEST_F(Icon, TheSystemDoesNotCheckTheReservedAndTypeWords) {
    std::string cursor = IconFile({Solid(32, 0x102030)}, 2);
    EXPECT_EQ(test::PixelOf(Load(cursor), 5, 5), (Colour{0x10, 0x20, 0x30}));
    cursor[0] = 1;
    EXPECT_TRUE(Load(cursor).ok());
}

TEST_F(Icon, ALoadIsA24BitPictureOf32By32ReportedAsFourBits) {
    const auto picture = Load(IconFile({Solid(16, 0xFF0000)}));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->width(), 32);
    EXPECT_EQ(picture.canvas->height(), 32);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(picture.image.fileBitDepth, 4);
    EXPECT_EQ(picture.image.width, 32);
    EXPECT_EQ(picture.image.height, 32);
}

TEST_F(Icon, TheMaskKeepsTheWhiteScreenOrInvertsIt) {
    // Left half opaque with a colour per row and column; right half
    // transparent, black above row 16 and coloured below it.
    const auto pixel = [](int x, int y) -> uint32_t {
        if (x < 16) return static_cast<uint32_t>(x * 8 << 16 | y * 8 << 8 | 0x40);
        return y < 16 ? 0 : 0x3C5A78;
    };
    const auto picture = Load(IconFile({Bitmap(32, 32, 24, pixel, [](int x, int) { return x >= 16; })}));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 3, 30), (Colour{24, 240, 0x40})) << "opaque: the colour, top row at the top";
    EXPECT_EQ(test::PixelOf(picture, 20, 2), (Colour{255, 255, 255})) << "transparent black: white";
    EXPECT_EQ(test::PixelOf(picture, 20, 20), (Colour{255 - 0x3C, 255 - 0x5A, 255 - 0x78}))
        << "transparent colour: the white screen inverted";
}

TEST_F(Icon, PalettesAtOneFourAndEightBits) {
    const std::vector<uint32_t> two = {0x0A141E, 0xC86432};
    const auto bits1 = Load(IconFile({Bitmap(
        32, 32, 1, [](int x, int) { return (x / 4) % 2; }, kOpaque, two)}));
    EXPECT_EQ(test::PixelOf(bits1, 0, 0), Rgb(0x0A141E));
    EXPECT_EQ(test::PixelOf(bits1, 5, 0), Rgb(0xC86432));

    const std::vector<uint32_t> four = {0xFA0000, 0x00FA00, 0x0000FA, 0x090909};
    const auto bits4 = Load(IconFile({Bitmap(
        32, 32, 4, [](int x, int) { return x % 4; }, kOpaque, four)}));
    EXPECT_EQ(test::PixelOf(bits4, 0, 7), Rgb(0xFA0000)) << "a palette of four entries";
    EXPECT_EQ(test::PixelOf(bits4, 1, 7), Rgb(0x00FA00)) << "the low nibble is the second pixel";
    EXPECT_EQ(test::PixelOf(bits4, 3, 7), Rgb(0x090909));

    std::vector<uint32_t> ramp;
    for (uint32_t i = 0; i < 256; ++i) ramp.push_back(i << 16 | (255 - i) << 8 | i / 2);
    const auto bits8 = Load(IconFile({Bitmap(
        32, 32, 8, [](int x, int y) { return (x + 7 * y) % 256; }, kOpaque, ramp, 0)}));
    EXPECT_EQ(test::PixelOf(bits8, 10, 20), Rgb(150u << 16 | 105u << 8 | 75)) << "no colour count: 256 entries";
}

TEST_F(Icon, SixteenBitsAndBitFields) {
    // 5-5-5: red 31, green 0, blue 20 widen to 255, 0, 165.
    const auto plain = Load(IconFile({Bitmap(32, 32, 16, [](int, int) { return 31u << 10 | 20u; })}));
    EXPECT_EQ(test::PixelOf(plain, 4, 4), (Colour{255, 0, 165}));

    // 32 bits with masks after the header: the value 0x00C76309 is red 199.
    std::string fields = U32(40) + U32(32) + U32(64) + U16(1) + U16(32) + U32(3) + U32(0) + U32(0) + U32(0) + U32(0) +
                         U32(0) + U32(0xFF0000) + U32(0xFF00) + U32(0xFF);
    for (int i = 0; i < 32 * 32; ++i) fields += U32(0x00C76309);
    fields += std::string(32 * 4, '\0');
    EXPECT_EQ(test::PixelOf(Load(IconFile({Image{fields, 32, 32, 32}})), 9, 9), (Colour{199, 99, 9}));
}

TEST_F(Icon, CoreHeaderImages) {
    std::string core = U32(12) + U16(32) + U16(64) + U16(1) + U16(24);
    for (int i = 0; i < 32 * 32; ++i) core += std::string("\x09\x63\xC7", 3);
    core += std::string(32 * 4, '\0');
    EXPECT_EQ(test::PixelOf(Load(IconFile({Image{core, 32, 32, 24}})), 1, 1), (Colour{199, 99, 9}));
}

TEST_F(Icon, AlphaIsBlendedOverWhite) {
    // Measured on the system's icon drawing: colour (8y, 100, 200) at alpha
    // 8x, in row 10; the mask is ignored once any alpha is set.
    const auto pixel = [](int x, int y) { return static_cast<uint32_t>(x * 8) << 24 | (y * 8) << 16 | 100 << 8 | 200; };
    const auto picture = Load(IconFile({Bitmap(32, 32, 32, pixel, [](int, int y) { return y < 16; })}));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(test::PixelOf(picture, 0, 20), (Colour{255, 255, 255}));
    EXPECT_EQ(test::PixelOf(picture, 1, 10), (Colour{250, 250, 253}));
    EXPECT_EQ(test::PixelOf(picture, 8, 10), (Colour{211, 216, 241}));
    EXPECT_EQ(test::PixelOf(picture, 16, 10), (Colour{167, 177, 227}));
    EXPECT_EQ(test::PixelOf(picture, 31, 10), (Colour{85, 104, 202}));
    EXPECT_EQ(test::PixelOf(picture, 31, 5), (Colour{46, 104, 202}));

    // One pixel with alpha makes every other pixel of alpha 0 transparent.
    const auto one = Load(IconFile({Bitmap(
        32, 32, 32, [](int x, int y) { return (x == 3 && y == 3 ? 200u << 24 : 0u) | 0x0A14C8; },
        [](int x, int) { return x < 16; })}));
    EXPECT_EQ(test::PixelOf(one, 3, 3), (Colour{63, 71, 212}));
    EXPECT_EQ(test::PixelOf(one, 20, 20), (Colour{255, 255, 255}));
}

TEST_F(Icon, ThirtyTwoBitsWithoutAlphaUseTheMask) {
    const auto picture = Load(IconFile({Bitmap(
        32, 32, 32, [](int, int y) { return static_cast<uint32_t>(y * 8 << 16 | 100 << 8 | 200); },
        [](int x, int) { return x < 16; })}));
    EXPECT_EQ(test::PixelOf(picture, 20, 10), (Colour{80, 100, 200}));
    EXPECT_EQ(test::PixelOf(picture, 0, 10), (Colour{175, 155, 55}));
}

// Which source columns (or rows) meet in each of the 32 target columns, as
// measured on the system for these sizes: the first source of each target
// when shrinking, the one source of each target when growing.
struct Stretch {
    int size;
    std::vector<int> sources;
};
const std::vector<Stretch> kMeasuredStretches = {
    {17, {0, 0, 1, 1, 2, 2, 3, 3, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 13, 13, 14, 14, 15, 15, 16, 16}},
    {20,
     {0, 0, 1, 2, 2, 3, 4, 4, 5, 5, 6, 7, 7, 8, 9, 9, 10, 10, 11, 12, 12, 13, 14, 14, 15, 15, 16, 17, 17, 18, 19, 19}},
    {24, {0,  1,  1,  2,  3,  4,  4,  5,  6,  7,  7,  8,  9,  10, 10, 11,
          12, 13, 13, 14, 15, 16, 16, 17, 18, 19, 19, 20, 21, 22, 22, 23}},
    {31, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
          15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30}},
    {33, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
          17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}},
    {40, {0,  1,  3,  4,  5,  6,  8,  9,  10, 11, 13, 14, 15, 16, 18, 19,
          20, 21, 23, 24, 25, 26, 28, 29, 30, 31, 33, 34, 35, 36, 38, 39}},
    {48, {0,  2,  3,  5,  6,  8,  9,  11, 12, 14, 15, 17, 18, 20, 21, 23,
          24, 26, 27, 29, 30, 32, 33, 35, 36, 38, 39, 41, 42, 44, 45, 47}},
    {100, {0,  3,  6,  9,  13, 16, 19, 22, 25, 28, 31, 34, 38, 41, 44, 47,
           50, 53, 56, 59, 63, 66, 69, 72, 75, 78, 81, 84, 88, 91, 94, 97}},
};

TEST_F(Icon, OtherSizesAreStretchedAsTheSystemStretches) {
    // Source column (or row) c of a window of 24 clears bit c - base of an
    // otherwise white colour: each target's cleared bits name its sources.
    for (const Stretch& stretch : kMeasuredStretches) {
        for (bool columns : {true, false}) {
            std::vector<std::vector<int>> found(32);
            for (int base = 0; base < stretch.size; base += 24) {
                const auto pixel = [&](int x, int y) {
                    const int k = (columns ? x : y) - base;
                    return k >= 0 && k < 24 ? 0xFFFFFF & ~(1u << k) : 0xFFFFFFu;
                };
                const auto picture = Load(IconFile({Bitmap(stretch.size, stretch.size, 24, pixel)}));
                ASSERT_TRUE(picture.ok()) << picture.message();
                for (int d = 0; d < 32; ++d) {
                    const Colour c = test::PixelOf(picture, columns ? d : 0, columns ? 0 : d);
                    const uint32_t value = static_cast<uint32_t>(c[0] << 16 | c[1] << 8 | c[2]);
                    for (int k = 0; k < 24; ++k) {
                        if (!(value >> k & 1)) found[d].push_back(base + k);
                    }
                }
            }
            for (int d = 0; d < 32; ++d) {
                std::vector<int> expected;
                if (stretch.size < 32) {
                    expected = {stretch.sources[d]};
                } else {
                    const int end = d == 31 ? stretch.size : stretch.sources[d + 1];
                    for (int s = stretch.sources[d]; s < end; ++s) expected.push_back(s);
                }
                EXPECT_EQ(found[d], expected)
                    << stretch.size << (columns ? " columns, target " : " rows, target ") << d;
            }
        }
    }
}

TEST_F(Icon, ShrinkingCombinesMasksAndColoursWithAnd) {
    // A 48 x 48 checkerboard of an opaque colour and transparent black:
    // targets made of two sources are opaque black, single ones keep theirs.
    const auto picture = Load(IconFile({Bitmap(
        48, 48, 24, [](int x, int y) { return (x + y) % 2 ? 0u : 0xC83219u; },
        [](int x, int y) { return (x + y) % 2 == 1; })}));
    EXPECT_EQ(test::PixelOf(picture, 5, 0), (Colour{0, 0, 0})) << "rows 0 and 1 meet";
    EXPECT_EQ(test::PixelOf(picture, 1, 1), (Colour{200, 50, 25})) << "row 2, column 2 alone";
    EXPECT_EQ(test::PixelOf(picture, 3, 1), (Colour{255, 255, 255})) << "row 2, column 5 alone";
    EXPECT_EQ(test::PixelOf(picture, 0, 1), (Colour{0, 0, 0})) << "columns 0 and 1 meet";

    // Paletted images meet as colours, not as indices (1 & 2 would be 0, white).
    const std::vector<uint32_t> palette = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};
    const auto indexed = Load(IconFile({Bitmap(
        48, 48, 8, [](int x, int) { return 1 + x % 2; }, kOpaque, palette)}));
    EXPECT_EQ(test::PixelOf(indexed, 0, 0), (Colour{0, 0, 0}));
    EXPECT_EQ(test::PixelOf(indexed, 1, 0), (Colour{255, 0, 0})) << "column 2 alone";
}

// The colour at the centre tells which image was drawn.
uint32_t Chosen(const test::LoadedPicture& picture) {
    const Colour c = test::PixelOf(picture, 16, 16);
    return static_cast<uint32_t>(c[0] << 16 | c[1] << 8 | c[2]);
}

TEST_F(Icon, TheImageIsPickedByClosestSizeThenClosestDepth) {
    const Image s16 = Solid(16, 0xFF0000), s48 = Solid(48, 0x00FF00), s24 = Solid(24, 0x0000FF),
                s40 = Solid(40, 0xFFFF00), s31 = Solid(31, 0xFF00FF), s33 = Solid(33, 0x00FFFF);
    EXPECT_EQ(Chosen(Load(IconFile({s16, s48}))), 0xFF0000u) << "equally far: the first";
    EXPECT_EQ(Chosen(Load(IconFile({s48, s16}))), 0x00FF00u);
    EXPECT_EQ(Chosen(Load(IconFile({s40, s24}))), 0xFFFF00u);
    EXPECT_EQ(Chosen(Load(IconFile({s33, s31}))), 0x00FFFFu);
    EXPECT_EQ(Chosen(Load(IconFile({s16, s33}))), 0x00FFFFu) << "the closer one";

    const std::vector<uint32_t> palette(256, 0x0080FF);
    const Image bits4 = Bitmap(
        32, 32, 4, [](int, int) { return 1; }, kOpaque, std::vector<uint32_t>(16, 0x0A00FF));
    const Image bits8 = Bitmap(
        32, 32, 8, [](int, int) { return 2; }, kOpaque, palette);
    const Image bits24 = Solid(32, 0x32463C), bits32 = Solid(32, 0x505A64, 32);
    EXPECT_EQ(Chosen(Load(IconFile({bits4, bits8}))), 0x0080FFu) << "8 bits are closer to the display's 32";
    EXPECT_EQ(Chosen(Load(IconFile({bits8, bits4}))), 0x0080FFu);
    EXPECT_EQ(Chosen(Load(IconFile({bits4, bits8, bits24, bits32, s16}))), 0x505A64u);
    EXPECT_EQ(Chosen(Load(IconFile({bits4, bits24}))), 0x32463Cu);
    EXPECT_EQ(Chosen(Load(IconFile({Solid(48, 0x00FF00), bits4}))), 0x0A00FFu) << "size before depth";
}

TEST_F(Icon, WhatTheLookupReadsFromTheEntriesAndTheImages) {
    // The bit count is the bitmap header's, not the directory's.
    Image bits4 = Bitmap(
        32, 32, 4, [](int, int) { return 1; }, kOpaque, std::vector<uint32_t>(16, 0x0A00FF));
    Image bits32 = Solid(32, 0x505A64, 32);
    bits4.entryBits = 32, bits32.entryBits = 4;
    EXPECT_EQ(Chosen(Load(IconFile({bits4, bits32}))), 0x505A64u);

    // A bitmap's size is the directory's (and a 0 there is 0); the image
    // itself is stretched from its header's size.
    Image small = Solid(16, 0xFF0000);
    small.entryWidth = small.entryHeight = 32;
    EXPECT_EQ(Chosen(Load(IconFile({Solid(48, 0x00FF00), small}))), 0xFF0000u);
    Image zero = Solid(16, 0xFF0000);
    zero.entryWidth = zero.entryHeight = 0;
    EXPECT_EQ(Chosen(Load(IconFile({zero, Solid(14, 0x0000FF)}))), 0x0000FFu) << "0 is 64 away from 32, not 256";

    // A PNG's size is its own; with an alpha channel it counts as 32 bits,
    // without as 24.
    Image png16 = Png(16, 16, false, [](int, int) { return 0xFF0000u; });
    png16.entryWidth = png16.entryHeight = 32;
    EXPECT_EQ(Chosen(Load(IconFile({Solid(48, 0x00FF00), png16}))), 0x00FF00u);
    const Image rgba = Png(32, 32, true, [](int, int) { return 0xFF123456u; });
    const Image rgb = Png(32, 32, false, [](int, int) { return 0x654321u; });
    EXPECT_EQ(Chosen(Load(IconFile({Solid(32, 0x505A64, 24), rgba}))), 0x123456u);
    EXPECT_EQ(Chosen(Load(IconFile({Solid(32, 0x505A64, 24), rgb}))), 0x505A64u);
    EXPECT_EQ(Chosen(Load(IconFile({rgb, Solid(32, 0x505A64, 24)}))), 0x654321u);

    // The entries after one whose data cannot be read are not looked at.
    std::string second = IconFile({Solid(16, 0xFF0000), Solid(32, 0x00FF00)});
    second.replace(6 + 16 + 12, 4, U32(1 << 20));
    EXPECT_EQ(Chosen(Load(second)), 0xFF0000u);
    std::string first = IconFile({Solid(16, 0xFF0000), Solid(32, 0x00FF00)});
    first.replace(6 + 12, 4, U32(1 << 20));
    EXPECT_EQ(Load(first).message(), kFailed);
}

TEST_F(Icon, PngImages) {
    // Straight alpha blended over white; red on the left, blue on the right.
    const auto pixel = [](int x, int y) {
        const uint32_t alpha = static_cast<uint32_t>(y * 8);
        return alpha << 24 | (x < 16 ? 0xC80000u : 0x0000C8u);
    };
    const auto picture = Load(IconFile({Png(32, 32, true, pixel)}));
    ASSERT_TRUE(picture.ok()) << picture.message();
    // (200 a + 255 (255 - a) + 127) / 255 at a = 160 is 220; 0 gives 255 - a = 95.
    EXPECT_EQ(test::PixelOf(picture, 2, 20), (Colour{220, 95, 95}));
    EXPECT_EQ(test::PixelOf(picture, 30, 20), (Colour{95, 95, 220}));
    EXPECT_EQ(test::PixelOf(picture, 2, 0), (Colour{255, 255, 255}));

    const auto opaque =
        Load(IconFile({Png(16, 16, false, [](int x, int y) { return static_cast<uint32_t>(x << 20 | y << 4); })}));
    EXPECT_EQ(test::PixelOf(opaque, 7, 13), (Colour{3 << 4, 0, 6 << 4})) << "16 x 16 doubled";

    // The system draws a PNG whose alpha is 0 everywhere as if it had none.
    const auto clear = Load(IconFile({Png(32, 32, true, [](int, int) { return 0x6496C8u; })}));
    EXPECT_EQ(test::PixelOf(clear, 5, 5), (Colour{100, 150, 200}));
}

TEST_F(Icon, TheSystemsLoaderComesFirst) {
    const std::string file = IconFile({Solid(32, 0x102030)});
    CountingHost loaded(IconLoad::kLoaded);
    const auto shown = Load(file, loaded);
    ASSERT_TRUE(shown.ok());
    EXPECT_EQ(loaded.calls, 1);
    EXPECT_NE(loaded.lastPath.find("picture.ico"), std::string::npos);
    EXPECT_EQ(test::PixelOf(shown, 5, 5), (Colour{0x40, 0x40, 0x40})) << "the system's picture, not ours";
    EXPECT_EQ(shown.image.fileBitDepth, 4);

    CountingHost failed(IconLoad::kFailed);
    EXPECT_EQ(Load(file, failed).message(), kFailed) << "no second opinion from the core";

    CountingHost absent(IconLoad::kNotOffered);
    EXPECT_EQ(test::PixelOf(Load(file, absent), 5, 5), (Colour{0x10, 0x20, 0x30}));
    EXPECT_EQ(absent.calls, 1);
}

TEST_F(Icon, EveryCutGivesAPictureOrTheMessage) {
    // The system refuses an image whose mask rows do not all lie in the
    // file, and looks no further than an entry whose header is cut: then
    // the 16 x 16 image before it is the only one.
    const Image first = Solid(16, 0xFF0000);
    const std::string file =
        IconFile({first, Bitmap(
                             32, 32, 8, [](int x, int y) { return (x * y) % 7; }, [](int x, int) { return x > 28; },
                             std::vector<uint32_t>(7, 0x336699))});
    const size_t second = 6 + 2 * 16 + first.data.size();
    // Every length through the directory and both headers, then every third.
    for (size_t length = 0; length < file.size(); length += length < second + 64 ? 1 : 3) {
        const auto picture = Load(file.substr(0, length));
        if (length >= second && length < second + 40) {
            ASSERT_TRUE(picture.ok()) << length;
            EXPECT_EQ(Chosen(picture), 0xFF0000u) << length;
        } else {
            EXPECT_EQ(picture.message(), kFailed) << length;
        }
    }
    EXPECT_EQ(Chosen(Load(file)), 0x336699u);
    EXPECT_EQ(Chosen(Load(file + "trailing bytes")), 0x336699u);
}

TEST_F(Icon, HostileSizesCostNothing) {
    // A 32-bit image of 60000 x 60000 in a file of a few hundred bytes, a
    // 1-bit one of 16000 x 16000 whose rows would need 64 MB, PNGs of
    // 30000 x 30000 and 8000 x 8000, and a directory of 65535 entries in 6
    // bytes.
    const auto header = [](uint32_t side, uint32_t bits) {
        return U32(40) + U32(side) + U32(side * 2) + U16(1) + U16(bits) + std::string(24, '\0') +
               std::string(8, '\xFF');
    };
    const auto png = [](uint32_t side) {
        return std::string("\x89PNG\r\n\x1a\n", 8) +
               Chunk("IHDR", U32BE(side) + U32BE(side) + U8(8) + U8(6) + U8(0) + U8(0) + U8(0)) +
               Chunk("IDAT", std::string(40, 'x'));
    };
    for (const std::string& bytes :
         {IconFile({Image{header(60000, 32), 32, 32, 32}}), IconFile({Image{header(16000, 1), 32, 32, 1}}),
          IconFile({Image{png(30000), 0, 0, 32}}), IconFile({Image{png(8000), 0, 0, 32}}),
          U16(0) + U16(1) + U16(65535)}) {
        test::LoadedPicture picture;
        const long growth = test::PeakMemoryGrowthKb([&] { picture = Load(bytes); });
        EXPECT_EQ(picture.message(), kFailed);
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
    }
}

}  // namespace
}  // namespace marbleye
