// Bitmaps made by ImageMagick must load exactly as ImageMagick decodes them,
// and the bitmaps we write must read back exactly in ImageMagick and netpbm.
#include <gtest/gtest.h>

#include <array>

#include "formats/bmp/Bmp.h"
#include "support/BmpBuilder.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

struct HeaderFacts {
    uint32_t headerSize;
    int32_t height;
    uint16_t bitCount;
    uint32_t compression;
};

HeaderFacts FactsOf(const std::string& bytes) {
    const auto u32 = [&](size_t at) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
                                     static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint8_t>(bytes[at + 3]) << 24);
    };
    const uint32_t headerSize = u32(14);
    if (headerSize == 12) {
        return {12, static_cast<int32_t>(u32(20) & 0xFFFF), static_cast<uint16_t>(u32(24) & 0xFFFF), 0};
    }
    return {headerSize, static_cast<int32_t>(u32(22)), static_cast<uint16_t>(u32(28) & 0xFFFF), u32(30)};
}

// Channel values where a 5-bit code expanded by rounding (ours) and by bit
// replication (ImageMagick's) agree.
std::vector<uint32_t> AgreeingFiveBitColours() {
    std::vector<uint8_t> levels;
    for (int v = 0; v < 32; ++v) {
        const int rounded = (v * 255 * 2 + 31) / 62;
        if (rounded == ((v << 3) | (v >> 2))) levels.push_back(static_cast<uint8_t>(rounded));
    }
    std::vector<uint32_t> colours;
    for (size_t i = 0; i < levels.size(); ++i) {
        const uint32_t r = levels[i], b = levels[levels.size() - 1 - i], g = (i % 2) ? 255 : 0;
        colours.push_back(r << 16 | g << 8 | b);
    }
    return colours;
}

struct ImageMagickCase {
    const char* name;
    RgbImage source;
    const char* options;  // between the input and the output file
    const char* output;   // ImageMagick's coder prefix
    HeaderFacts expected;
};

class ImageMagickBitmaps : public ::testing::Test {
protected:
    void SetUp() override { MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert); }

    std::string Make(const ImageMagickCase& c) {
        const std::string source = folder_.File(std::string(c.name) + ".ppm");
        const std::string target = folder_.File(std::string(c.name) + ".bmp");
        test::WriteFileBytes(source, test::ToPpm(c.source));
        const auto made = test::RunCommand(std::string(test::kImageMagickConvert) + " " + source + " " + c.options +
                                           " " + c.output + ":" + target);
        EXPECT_TRUE(made) << c.name;
        return target;
    }

    void ExpectSameAsImageMagick(const std::string& path, const char* name) {
        const auto expected = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(expected) << name;
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        const RgbImage actual = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(actual, *expected) << name << ": " << test::FirstDifference(*expected, actual);
    }

    test::TempFolder folder_;
};

TEST_F(ImageMagickBitmaps, LoadPixelIdenticalToImageMagick) {
    const RgbImage photo = test::MakePattern(37, 21);
    const RgbImage twoColours = test::MakePalettePattern(29, 11, {0xFF0000, 0x0000FF});
    const RgbImage sixteen = test::MakePalettePattern(31, 9, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                                                0x00FFFF, 0xFF00FF, 0xFFFFFF, 0x808080, 0x400000,
                                                                0x004000, 0x000040, 0x123456, 0x654321, 0xABCDEF,
                                                                0xFEDCBA});
    std::vector<uint32_t> many;
    for (uint32_t i = 0; i < 200; ++i) many.push_back((i * 0x010305u * 7) & 0xFFFFFF);
    const RgbImage twoHundred = test::MakePalettePattern(64, 13, many);  // width 64: rows fill their RLE buffers
    const RgbImage fiveBit = test::MakePalettePattern(19, 6, AgreeingFiveBitColours());

    const std::vector<ImageMagickCase> cases = {
        {"bmp3-1bit", twoColours, "-type Palette -compress None", "BMP3", {40, 11, 1, 0}},
        {"bmp3-4bit", sixteen, "-type Palette -compress None", "BMP3", {40, 9, 4, 0}},
        {"bmp3-8bit", twoHundred, "-type Palette -compress None", "BMP3", {40, 13, 8, 0}},
        {"bmp3-24bit", photo, "-type TrueColor", "BMP3", {40, 21, 24, 0}},
        {"bmp3-32bit", photo, "-alpha set -define bmp3:alpha=true", "BMP3", {40, 21, 32, 0}},
        {"bmp2-24bit", photo, "-type TrueColor", "BMP2", {12, 21, 24, 0}},
        {"bmp2-8bit", twoHundred, "-type Palette -compress None", "BMP2", {12, 13, 8, 0}},
        {"rle8-wide", twoHundred, "-type Palette -compress RLE", "BMP3", {40, 13, 8, 1}},
        {"rle8-odd", test::MakePalettePattern(37, 9, many), "-type Palette -compress RLE", "BMP3", {40, 9, 8, 1}},
        {"bf565", fiveBit, "-define bmp:subtype=RGB565", "BMP", {124, 6, 16, 3}},
        {"bf555", fiveBit, "-define bmp:subtype=RGB555", "BMP", {124, 6, 16, 3}},
        {"argb1555", fiveBit, "-alpha set -define bmp:subtype=ARGB1555", "BMP", {124, 6, 16, 3}},
        {"v5-32bit", photo, "-alpha set", "BMP", {124, 21, 32, 3}},
    };
    for (const ImageMagickCase& c : cases) {
        const std::string path = Make(c);
        const HeaderFacts facts = FactsOf(test::ReadFileBytes(path));
        ASSERT_EQ(facts.headerSize, c.expected.headerSize) << c.name;
        ASSERT_EQ(facts.bitCount, c.expected.bitCount) << c.name;
        ASSERT_EQ(facts.compression, c.expected.compression) << c.name;
        ASSERT_EQ(facts.height, c.expected.height) << c.name;
        ExpectSameAsImageMagick(path, c.name);
    }
}

// ImageMagick decodes a 4-bit field by shifting it left by four (full red
// shows as 240); its writer rounds to the nearest of the 16 levels, so a
// picture of colours on those levels must come back exactly.
TEST_F(ImageMagickBitmaps, FourBitFieldsKeepColoursOnTheirSixteenLevels) {
    std::vector<uint32_t> colours;
    for (uint32_t i = 0; i < 16; ++i) colours.push_back((i * 17) << 16 | ((15 - i) * 17) << 8 | ((i * 7 % 16) * 17));
    const ImageMagickCase c{"argb4444", test::MakePalettePattern(27, 10, colours),
                            "-alpha set -define bmp:subtype=ARGB4444", "BMP", {124, 10, 16, 3}};
    const std::string path = Make(c);
    const HeaderFacts facts = FactsOf(test::ReadFileBytes(path));
    ASSERT_EQ(facts.bitCount, 16);
    ASSERT_EQ(facts.compression, 3u);
    const auto picture = test::LoadPicture(path);
    ASSERT_TRUE(picture.ok()) << picture.message();
    const RgbImage ours = test::CanvasToRgb(*picture.canvas);
    EXPECT_EQ(ours, c.source) << test::FirstDifference(c.source, ours);
}

// Bitmaps built from the version 4 and 5 header layout with masks
// ImageMagick does not write: 8-bit fields in any order and a 16-bit pixel
// of two 8-bit fields and no blue, where its scaling and ours agree.
TEST_F(ImageMagickBitmaps, MasksInAnyOrderLoadAsImageMagickDecodesThem) {
    const RgbImage photo = test::MakePattern(23, 9);
    struct Layout {
        const char* name;
        uint32_t headerSize;
        uint16_t bitCount;
        std::vector<uint32_t> masks;  // red, green, blue, alpha
    };
    for (const Layout& layout : std::vector<Layout>{
             {"red-lowest", 108, 32, {0x000000FF, 0x0000FF00, 0x00FF0000, 0}},
             {"green-highest", 124, 32, {0x0000FF00, 0xFF000000, 0x00FF0000, 0x000000FF}},
             {"red-green", 108, 16, {0xFF00, 0x00FF, 0, 0}},
         }) {
        test::BmpBuilder bmp;
        bmp.headerSize = layout.headerSize;
        bmp.width = photo.width;
        bmp.height = photo.height;
        bmp.bitCount = layout.bitCount;
        bmp.compression = 3;
        bmp.masks = layout.masks;
        const auto place = [](uint8_t value, uint32_t mask) {
            if (mask == 0) return 0u;
            int shift = 0;
            while (!((mask >> shift) & 1)) ++shift;
            return uint32_t{value} << shift;
        };
        for (int32_t y = photo.height - 1; y >= 0; --y) {  // bottom row first
            for (int32_t x = 0; x < photo.width; ++x) {
                const uint8_t* rgb = photo.At(x, y);
                const uint32_t pixel = place(rgb[0], layout.masks[0]) | place(rgb[1], layout.masks[1]) |
                                       place(rgb[2], layout.masks[2]) | layout.masks[3];
                for (int byte = 0; byte < layout.bitCount / 8; ++byte) {
                    bmp.pixels.push_back(static_cast<uint8_t>(pixel >> (8 * byte)));
                }
            }
            bmp.pixels.resize((bmp.pixels.size() + 3) / 4 * 4, 0);
        }
        const std::string path = folder_.File(std::string(layout.name) + ".bmp");
        test::WriteFileBytes(path, bmp.Bytes());
        ExpectSameAsImageMagick(path, layout.name);
    }
}

// ImageMagick writes bottom-up files only: turn one into its top-down twin by
// negating the height and reversing the rows, then let ImageMagick decode it.
TEST_F(ImageMagickBitmaps, TopDownFilesLoadUpright) {
    const ImageMagickCase c{"bottom-up", test::MakePattern(13, 5), "-type TrueColor", "BMP3", {40, 5, 24, 0}};
    std::string bytes = test::ReadFileBytes(Make(c));
    ASSERT_EQ(bytes.size(), 54u + 40u * 5u);
    std::string flipped = bytes.substr(0, 54);
    flipped[22] = static_cast<char>(0xFB), flipped[23] = flipped[24] = flipped[25] = static_cast<char>(0xFF);  // -5
    for (int row = 4; row >= 0; --row) flipped += bytes.substr(54 + row * 40, 40);
    const std::string path = folder_.File("top-down.bmp");
    test::WriteFileBytes(path, flipped);
    ExpectSameAsImageMagick(path, "top-down");
    const auto picture = test::LoadPicture(path);
    EXPECT_EQ(test::CanvasToRgb(*picture.canvas), c.source);
}

class WrittenBitmaps : public ::testing::Test {
protected:
    // Writes a picture loaded from a PPM-made canvas and returns the file.
    std::string Write(const ImageCanvas& canvas, const std::string& name, int32_t fileBitDepth) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(WriteBmp(path, canvas, fileBitDepth, QuietHost()).ok());
        return path;
    }
    test::TempFolder folder_;
};

TEST_F(WrittenBitmaps, ImageMagickAndNetpbmReadOurBitmapsBack) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    MARBLEYE_REQUIRE_TOOL("/usr/bin/bmptopnm");
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{13, 7}, {1, 1}, {64, 3}, {33, 40}}) {
        const RgbImage pattern = test::MakePattern(width, height);
        ImageCanvas canvas;
        ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
        const std::string path = Write(canvas, "ours.bmp", 24);

        const auto magick = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(magick);
        EXPECT_EQ(*magick, pattern) << test::FirstDifference(pattern, *magick);
        const auto netpbm = test::RunCommand("/usr/bin/bmptopnm " + path);
        ASSERT_TRUE(netpbm);
        const auto decoded = test::FromPnm(*netpbm);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*decoded, pattern) << test::FirstDifference(pattern, *decoded);
    }
}

TEST_F(WrittenBitmaps, PalettedCanvasesAreWrittenWithTheirColours) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    Palette256 palette{};
    for (int i = 0; i < 256; ++i) palette[i * 3] = static_cast<uint8_t>(i), palette[i * 3 + 2] = static_cast<uint8_t>(255 - i);
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(9, 4, 8, 0, palette));
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 9; ++x) canvas.Row(y)[x] = static_cast<uint8_t>(x * 30 + y);
    }
    const auto magick = test::DecodeWithImageMagick(Write(canvas, "eight.bmp", 8));
    ASSERT_TRUE(magick);
    EXPECT_EQ(*magick, test::CanvasToRgb(canvas));
}

TEST_F(WrittenBitmaps, AOneBitPictureIsWrittenAt8BitsAndReadBackExactly) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    Palette256 palette{};
    palette[0] = 20, palette[1] = 40, palette[2] = 60;  // entry 0
    palette[3] = 250, palette[4] = 200, palette[5] = 10;
    ImageCanvas canvas;
    ASSERT_TRUE(canvas.Create(11, 3, 1, 0, palette));
    canvas.Row(0)[0] = 0b1010'0000, canvas.Row(1)[1] = 0b0110'0000, canvas.Row(2)[0] = 0xFF;
    const std::string path = Write(canvas, "one-bit.bmp", 1);
    EXPECT_EQ(test::ReadFileBytes(path)[28], 8);
    const auto magick = test::DecodeWithImageMagick(path);
    ASSERT_TRUE(magick);
    EXPECT_EQ(*magick, test::CanvasToRgb(canvas));
}

}  // namespace
}  // namespace marbleye
