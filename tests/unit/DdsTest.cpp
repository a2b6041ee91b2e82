// DirectDraw surfaces built here byte by byte from the published layout:
// the 128-byte header, the extended header, BC1/BC2/BC3 blocks and masked
// pixels, with the decoded values worked out by hand.
#include <gtest/gtest.h>

#include <array>

#include "canvas/CurrentImage.h"
#include "formats/dds/Dds.h"
#include "support/MemoryUse.h"
#include "support/ReaderTest.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using Rgba = std::array<int, 4>;

constexpr uint32_t kFlagAlphaPixels = 0x1, kFlagFourCc = 0x4, kFlagRgb = 0x40, kFlagLuminance = 0x20000;

std::string U32(uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}
std::string U16(uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; }

struct PixelFormat {
    uint32_t flags = 0;
    std::string fourCc = std::string(4, '\0');
    uint32_t bits = 0, red = 0, green = 0, blue = 0, alpha = 0;
};

PixelFormat FourCc(const std::string& code) { return {kFlagFourCc, code}; }

// "DDS ", then the 124-byte description: size, flags, height, width, pitch,
// depth, mip count, 11 reserved words, the 32-byte pixel format, four caps
// words and one reserved word.
std::string Header(uint32_t width, uint32_t height, const PixelFormat& format, uint32_t mipCount = 0) {
    std::string bytes = "DDS " + U32(124) + U32(0x1007 | (mipCount ? 0x20000 : 0)) + U32(height) + U32(width) +
                        U32(0) + U32(0) + U32(mipCount);
    for (int i = 0; i < 11; ++i) bytes += U32(0);
    bytes += U32(32) + U32(format.flags) + format.fourCc + U32(format.bits) + U32(format.red) + U32(format.green) +
             U32(format.blue) + U32(format.alpha);
    bytes += U32(0x1000) + U32(0) + U32(0) + U32(0) + U32(0);
    EXPECT_EQ(bytes.size(), 128u);
    return bytes;
}

// The extended header after "DX10": format, dimension (texture 2D), flags,
// array size, more flags.
std::string ExtendedHeader(uint32_t width, uint32_t height, uint32_t dxgiFormat) {
    return Header(width, height, FourCc("DX10")) + U32(dxgiFormat) + U32(3) + U32(0) + U32(1) + U32(0);
}

// A BC1 colour block: two 5:6:5 end points, then texel i's 2-bit code at
// bits 2i of a little-endian word.
std::string ColourBlock(uint16_t c0, uint16_t c1, const std::array<int, 16>& codes) {
    uint32_t word = 0;
    for (int i = 0; i < 16; ++i) word |= static_cast<uint32_t>(codes[i]) << (2 * i);
    return U16(c0) + U16(c1) + U32(word);
}

constexpr uint16_t kRed565 = 0xF800, kBlue565 = 0x001F;
constexpr std::array<int, 16> kCodesInTurn = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};

class Dds : public test::ReaderTest {
protected:
    test::LoadedPicture Load(const std::string& bytes, Host& host = QuietHost()) {
        return LoadBytes(bytes, "surface.dds", LoadOptions(), host);
    }
    // Red, green, blue and alpha (255 in a 24-bit canvas) at (x, y) from the top left.
    static Rgba At(const test::LoadedPicture& picture, int32_t x, int32_t y) {
        const ImageCanvas& canvas = *picture.canvas;
        const int bytes = canvas.bitsPerPixel() / 8;
        const uint8_t* p = canvas.Row(canvas.height() - 1 - y) + x * bytes;
        return {p[2], p[1], p[0], bytes == 4 ? p[3] : 255};
    }
};

TEST_F(Dds, Bc1FourColourBlocksInterpolateTwoThirds) {
    const auto picture = Load(Header(4, 4, FourCc("DXT1")) + ColourBlock(kRed565, kBlue565, kCodesInTurn));
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(picture.image.fileBitDepth, 4);
    const std::array<Rgba, 4> colours = {Rgba{255, 0, 0, 255}, {0, 0, 255, 255}, {170, 0, 85, 255}, {85, 0, 170, 255}};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(At(picture, x, y), colours[x]) << x << "," << y;
    }
}

TEST_F(Dds, Bc1ThreeColourBlocksGiveAlphaOnlyWhenTheTransparentCodeIsUsed) {
    // First end point not above the second: code 2 is the mean, code 3 transparent black.
    const auto transparent = Load(Header(4, 4, FourCc("DXT1")) + ColourBlock(kBlue565, kRed565, kCodesInTurn));
    ASSERT_TRUE(transparent.ok()) << transparent.message();
    ASSERT_EQ(transparent.canvas->bitsPerPixel(), 32);
    const std::array<Rgba, 4> colours = {Rgba{0, 0, 255, 255}, {255, 0, 0, 255}, {127, 0, 127, 255}, {0, 0, 0, 0}};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(At(transparent, x, y), colours[x]) << x << "," << y;
    }
    // Equal end points and no code 3: opaque.
    const auto opaque = Load(Header(4, 4, FourCc("DXT1")) + ColourBlock(0x07E0, 0x07E0, {0, 1, 2, 2, 1, 0}));
    ASSERT_TRUE(opaque.ok()) << opaque.message();
    EXPECT_EQ(opaque.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(At(opaque, 2, 0), (Rgba{0, 255, 0, 255}));
}

TEST_F(Dds, Bc2HasExplicitAlphaAndAlwaysFourColours) {
    // Texel i has alpha i: two texels a byte, the first in the low nibble.
    std::string alpha;
    for (int k = 0; k < 8; ++k) alpha += static_cast<char>((2 * k) | ((2 * k + 1) << 4));
    for (const char* code : {"DXT3", "DXT2"}) {
        const auto picture = Load(Header(4, 4, FourCc(code)) + alpha + ColourBlock(kBlue565, kRed565, kCodesInTurn));
        ASSERT_TRUE(picture.ok()) << picture.message();
        ASSERT_EQ(picture.canvas->bitsPerPixel(), 32);
        EXPECT_EQ(picture.image.fileBitDepth, 8);
        const std::array<Rgba, 4> colours = {Rgba{0, 0, 255}, {255, 0, 0}, {85, 0, 170}, {170, 0, 85}};
        for (int i = 0; i < 16; ++i) {
            Rgba expected = colours[i % 4];
            expected[3] = i * 17;
            EXPECT_EQ(At(picture, i % 4, i / 4), expected) << code << " texel " << i;
        }
    }
}

TEST_F(Dds, Bc3AlphaHasEightAndSixValueModes) {
    // Texel i's 3-bit code is i % 8, in 48 bits little-endian after the two end points.
    uint64_t codes = 0;
    for (int i = 0; i < 16; ++i) codes |= static_cast<uint64_t>(i % 8) << (3 * i);
    std::string codeBytes;
    for (int i = 0; i < 6; ++i) codeBytes += static_cast<char>(codes >> (8 * i));
    const std::string colour = ColourBlock(kRed565, kRed565, {});
    const std::array<int, 8> eight = {255, 0, 218, 182, 145, 109, 72, 36};
    const std::array<int, 8> six = {0, 255, 51, 102, 153, 204, 0, 255};
    for (const auto& [a0, a1, expected] : {std::tuple{255, 0, eight}, std::tuple{0, 255, six}}) {
        for (const char* code : {"DXT5", "DXT4"}) {
            const std::string block = std::string{static_cast<char>(a0), static_cast<char>(a1)} + codeBytes + colour;
            const auto picture = Load(Header(4, 4, FourCc(code)) + block);
            ASSERT_TRUE(picture.ok()) << picture.message();
            ASSERT_EQ(picture.canvas->bitsPerPixel(), 32);
            for (int i = 0; i < 16; ++i) {
                EXPECT_EQ(At(picture, i % 4, i / 4), (Rgba{255, 0, 0, expected[i % 8]})) << code << " " << a0 << " " << i;
            }
        }
    }
}

TEST_F(Dds, BlocksCoverPicturesThatAreNoMultipleOfFour) {
    // 5 x 6: two blocks across, two down; the second column and row of
    // blocks are cut. Each block one colour: red, blue, green, white.
    const std::array<uint16_t, 4> colours = {kRed565, kBlue565, 0x07E0, 0xFFFF};
    std::string bytes = Header(5, 6, FourCc("DXT1"));
    for (uint16_t c : colours) bytes += ColourBlock(c, 0, {});
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.ok()) << picture.message();
    ASSERT_EQ(picture.image.width, 5);
    ASSERT_EQ(picture.image.height, 6);
    EXPECT_EQ(At(picture, 3, 3), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(At(picture, 4, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(At(picture, 0, 5), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(At(picture, 4, 5), (Rgba{255, 255, 255, 255}));
}

TEST_F(Dds, MaskedPixelsAtEveryWidth) {
    {  // 5:6:5, no alpha; middle values scaled down to 0..255.
        const PixelFormat format{kFlagRgb, std::string(4, '\0'), 16, 0xF800, 0x07E0, 0x001F, 0};
        const auto picture = Load(Header(4, 1, format) + U16(0xF800) + U16(0x07E0) + U16(0x001F) + U16(0x8410));
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
        EXPECT_EQ(picture.image.fileBitDepth, 16);
        EXPECT_EQ(At(picture, 0, 0), (Rgba{255, 0, 0, 255}));
        EXPECT_EQ(At(picture, 1, 0), (Rgba{0, 255, 0, 255}));
        EXPECT_EQ(At(picture, 2, 0), (Rgba{0, 0, 255, 255}));
        EXPECT_EQ(At(picture, 3, 0), (Rgba{131, 129, 131, 255}));
    }
    {  // 1:5:5:5 with its alpha bit.
        const PixelFormat format{kFlagRgb | kFlagAlphaPixels, std::string(4, '\0'), 16, 0x7C00, 0x03E0, 0x001F,
                                 0x8000};
        const auto picture = Load(Header(2, 1, format) + U16(0x7C00) + U16(0x801F));
        ASSERT_TRUE(picture.ok()) << picture.message();
        ASSERT_EQ(picture.canvas->bitsPerPixel(), 32);
        EXPECT_EQ(At(picture, 0, 0), (Rgba{255, 0, 0, 0}));
        EXPECT_EQ(At(picture, 1, 0), (Rgba{0, 0, 255, 255}));
    }
    {  // 24 bits, blue first; two rows, the first stored is the top.
        const PixelFormat format{kFlagRgb, std::string(4, '\0'), 24, 0xFF0000, 0xFF00, 0xFF, 0};
        const auto picture = Load(Header(1, 2, format) + "\x01\x02\x03" + "\x04\x05\x06");
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(At(picture, 0, 0), (Rgba{3, 2, 1, 255}));
        EXPECT_EQ(At(picture, 0, 1), (Rgba{6, 5, 4, 255}));
    }
    {  // 32 bits with alpha, red in the low byte.
        const PixelFormat format{kFlagRgb | kFlagAlphaPixels, std::string(4, '\0'), 32, 0xFF, 0xFF00, 0xFF0000,
                                 0xFF000000};
        const auto picture = Load(Header(1, 1, format) + "\x10\x20\x30\x40");
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(At(picture, 0, 0), (Rgba{0x10, 0x20, 0x30, 0x40}));
    }
    {  // 32 bits with an alpha mask but without the alpha flag: no alpha.
        const PixelFormat format{kFlagRgb, std::string(4, '\0'), 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
        const auto picture = Load(Header(1, 1, format) + std::string("\x10\x20\x30\x00", 4));
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
        EXPECT_EQ(At(picture, 0, 0), (Rgba{0x30, 0x20, 0x10, 255}));
    }
    {  // 10:10:10:2 keeps the top eight bits of each field.
        const PixelFormat format{kFlagRgb | kFlagAlphaPixels, std::string(4, '\0'), 32, 0x3FF, 0xFFC00, 0x3FF00000,
                                 0xC0000000};
        const uint32_t pixel = 1020u | (4u << 10) | (515u << 20) | (2u << 30);
        const auto picture = Load(Header(1, 1, format) + U32(pixel));
        ASSERT_TRUE(picture.ok()) << picture.message();
        EXPECT_EQ(At(picture, 0, 0), (Rgba{255, 1, 128, 170}));
    }
    {  // 8-bit luminance, also when the colour flag is set beside it.
        for (uint32_t flags : {kFlagLuminance, kFlagLuminance | kFlagRgb}) {
            const PixelFormat format{flags, std::string(4, '\0'), 8, 0xFF, 0, 0, 0};
            const auto picture = Load(Header(2, 1, format) + std::string("\x00\x7F", 2));
            ASSERT_TRUE(picture.ok()) << picture.message();
            EXPECT_EQ(At(picture, 1, 0), (Rgba{127, 127, 127, 255}));
        }
    }
}

TEST_F(Dds, TheExtendedHeaderNamesBlockAndStoredFormats) {
    const auto bc1 = Load(ExtendedHeader(4, 4, 71) + ColourBlock(kRed565, kBlue565, kCodesInTurn));
    ASSERT_TRUE(bc1.ok()) << bc1.message();
    EXPECT_EQ(At(bc1, 2, 1), (Rgba{170, 0, 85, 255}));
    const auto rgba = Load(ExtendedHeader(1, 1, 28) + "\x10\x20\x30\x40");
    ASSERT_TRUE(rgba.ok()) << rgba.message();
    EXPECT_EQ(At(rgba, 0, 0), (Rgba{0x10, 0x20, 0x30, 0x40}));
    const auto bgrx = Load(ExtendedHeader(1, 1, 88) + "\x10\x20\x30\x40");
    ASSERT_TRUE(bgrx.ok()) << bgrx.message();
    EXPECT_EQ(bgrx.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(At(bgrx, 0, 0), (Rgba{0x30, 0x20, 0x10, 255}));
}

TEST_F(Dds, OnlyTheTopLevelIsShown) {
    // A 4 x 4 level of red, then the 2 x 2 and 1 x 1 levels in blue.
    const std::string bytes = Header(4, 4, FourCc("DXT1"), 3) + ColourBlock(kRed565, 0, {}) +
                              ColourBlock(kBlue565, 0, {}) + ColourBlock(kBlue565, 0, {});
    const auto picture = Load(bytes);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.image.width, 4);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(At(picture, i % 4, i / 4), (Rgba{255, 0, 0, 255}));
}

TEST_F(Dds, MessagesForWhatCannotBeShown) {
    EXPECT_EQ(Load("DDX " + Header(4, 4, FourCc("DXT1")).substr(4) + std::string(8, '\0')).message(),
              "Not a valid DDS-File (wrong MagicNumber)!");
    EXPECT_EQ(Load("DD").message(), "Not a valid DDS-File (wrong MagicNumber)!");
    const std::string block(16, '\0');
    for (const char* code : {"ATI1", "ATI2", "BC4U", "BC5U", "RXGB", "UYVY"}) {
        EXPECT_EQ(Load(Header(4, 4, FourCc(code)) + block).message(), "Decompression Error occured!") << code;
    }
    for (uint32_t format : {2u, 10u, 80u, 83u, 95u, 98u, 0u, 0xFFFFFFFFu}) {
        EXPECT_EQ(Load(ExtendedHeader(4, 4, format) + block).message(), "Decompression Error occured!") << format;
    }
    // A header cut inside, a header without data, a size of zero, alpha
    // without colour, a pixel width that is no whole byte count.
    EXPECT_EQ(Load(Header(4, 4, FourCc("DXT1")).substr(0, 100)).message(), "Decompression Error occured!");
    EXPECT_EQ(Load(Header(4, 4, FourCc("DXT1"))).message(), "Decompression Error occured!");
    EXPECT_EQ(Load(Header(0, 4, FourCc("DXT1")) + block).message(), "Decompression Error occured!");
    EXPECT_EQ(Load(Header(1, 1, PixelFormat{0x2, std::string(4, '\0'), 8, 0, 0, 0, 0xFF}) + block).message(),
              "Decompression Error occured!");
    EXPECT_EQ(Load(Header(1, 1, PixelFormat{kFlagRgb, std::string(4, '\0'), 12, 0xF00, 0xF0, 0xF, 0}) + block)
                  .message(),
              "Decompression Error occured!");

    CurrentImage image;
    ImageCanvas canvas;
    LoadOptions options;
    LoadContext context{canvas, image, options, QuietHost()};
    EXPECT_EQ(ReadDds(folder_.File("missing.dds"), context).message(), "Couldn't open File!");
}

TEST_F(Dds, EveryTruncationLoadsWhatWasThereOrGivesTheMessage) {
    // 8 x 8 BC3 (two block rows) and 3 x 3 at 16 bits.
    std::string blocks = Header(8, 8, FourCc("DXT5"));
    for (int i = 0; i < 4; ++i) blocks += std::string{'\xFF', '\xFF'} + std::string(6, '\0') + ColourBlock(0xFFFF, 0, {});
    const PixelFormat format{kFlagRgb, std::string(4, '\0'), 16, 0xF800, 0x07E0, 0x001F, 0};
    std::string masked = Header(3, 3, format);
    for (int i = 0; i < 9; ++i) masked += U16(0xFFFF);
    for (const std::string& whole : {blocks, masked}) {
        const size_t firstRow = whole == blocks ? 32 : 6;
        for (size_t length = 0; length <= whole.size(); ++length) {
            test::MessageRecorder host;
            const auto picture = Load(whole.substr(0, length), host);
            if (length < 128 + firstRow) {
                EXPECT_FALSE(picture.ok()) << length;
                continue;
            }
            ASSERT_TRUE(picture.ok()) << length << ": " << picture.message();
            EXPECT_EQ(host.messages, length == whole.size() ? "" : "Decompression Error occured!|") << length;
            // The top row is white, the bottom one white only when complete.
            EXPECT_EQ(At(picture, 0, 0)[0], 255) << length;
            EXPECT_EQ(At(picture, 0, picture.image.height - 1)[0], length == whole.size() ? 255 : 0) << length;
        }
    }
}

TEST_F(Dds, HostileSizesAreRefusedBeforeAnything) {
    const std::string block(64, '\0');
    const std::vector<std::string> files = {
        Header(0x7FFFFFFF, 0x7FFFFFFF, FourCc("DXT1")) + block,
        Header(65536, 65536, FourCc("DXT5")) + block,
        Header(0xFFFFFFFF, 4, FourCc("DXT1")) + block,
        Header(30000, 30000, PixelFormat{kFlagRgb, std::string(4, '\0'), 32, 0xFF0000, 0xFF00, 0xFF, 0}) + block,
        ExtendedHeader(40000, 40000, 71) + block,
    };
    for (size_t i = 0; i < files.size(); ++i) {
        test::LoadedPicture loaded;
        const long growth = test::PeakMemoryGrowthKb([&] { loaded = Load(files[i]); });
        EXPECT_EQ(loaded.message(), "Decompression Error occured!") << i;
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb) << i;
    }
}

}  // namespace
}  // namespace marbleye
