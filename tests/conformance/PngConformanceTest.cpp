// Our PNG files, RGB (plain and Adam7) and palette, are read back exactly by
// ImageMagick and netpbm, and ImageMagick's PNG files of every colour type
// load as it decodes them.
#include <gtest/gtest.h>

#include "formats/png/Png.h"
#include "imaging/ColourReduction.h"
#include "support/ExternalTools.h"
#include "support/GifBuilder.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

class PngFiles : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        MARBLEYE_REQUIRE_TOOL("/usr/bin/pngtopnm");
    }
    // What ImageMagick and pngtopnm see in a file.
    void ExpectReadBackAs(const std::string& path, const RgbImage& expected) {
        const auto magick = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(magick) << path;
        EXPECT_EQ(*magick, expected) << test::FirstDifference(expected, *magick);
        const auto netpbm = test::FromPnm(test::RunCommand("/usr/bin/pngtopnm " + path + " | /usr/bin/pnmtopnm -plain | /usr/bin/pnmtopnm").value_or(""));
        ASSERT_TRUE(netpbm) << path;
        RgbImage colour = *netpbm;
        EXPECT_EQ(colour, expected) << test::FirstDifference(expected, colour);
    }
    std::string Header(const std::string& path) { return test::ReadFileBytes(path).substr(0, 32); }
    test::TempFolder folder_;
};

TEST_F(PngFiles, TrueColourPicturesBecomeRgbPngsPlainOrInterlaced) {
    const RgbImage source = test::MakePattern(67, 41);
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(source, canvas));
    CurrentImage image;
    image.fileBitDepth = 24;
    for (const bool interlaced : {false, true}) {
        const std::string path = folder_.File(interlaced ? "adam7.png" : "plain.png");
        ASSERT_TRUE(WritePng(path, canvas, image, interlaced, QuietHost()));
        const std::string header = Header(path);
        EXPECT_EQ(header[25], 2) << "colour type RGB";
        EXPECT_EQ(header[28], interlaced ? 1 : 0) << "interlace method";
        ExpectReadBackAs(path, source);
        const auto again = test::LoadPicture(path);
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(test::CanvasToRgb(*again.canvas), source);
    }
}

TEST_F(PngFiles, PicturesOf256ColoursOrFewerBecomePalettePngs) {
    const RgbImage source = test::MakePalettePattern(45, 30, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFEDCBA});
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(source, canvas, 24));
    CurrentImage image;
    ASSERT_TRUE(ConvertCanvasTo256Colours(canvas, image, PaletteMethod::kMedianCut, DitherType::kNone));
    ASSERT_EQ(canvas.bitsPerPixel(), 8);
    image.fileBitDepth = 8;
    const std::string path = folder_.File("palette.png");
    ASSERT_TRUE(WritePng(path, canvas, image, false, QuietHost()));
    EXPECT_EQ(Header(path)[25], 3) << "colour type palette";
    ExpectReadBackAs(path, test::CanvasToRgb(canvas));
    // A 24-bit canvas of a picture stored with 8 bits (a GIF's strip, a
    // reduced picture) is written with its colours kept exactly.
    ImageCanvas wide;
    ASSERT_TRUE(test::CanvasFromRgb(source, wide, 24));
    ASSERT_TRUE(WritePng(path, wide, image, true, QuietHost()));
    EXPECT_EQ(Header(path)[25], 3);
    ExpectReadBackAs(path, source);
}

TEST_F(PngFiles, AnimatedGifSavedAsPngKeepsItsFirstFrameAndTransparentColour) {
    test::GifBuilder gif;
    gif.screenWidth = 4;
    gif.screenHeight = 2;
    gif.globalTable = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    gif.frames.push_back({0, 0, 4, 2, false, {}, {0, 1, 2, 3, 3, 2, 1, 0}, 10, 3, 0, 8});
    gif.frames.push_back({0, 0, 4, 2, false, {}, {1, 1, 1, 1, 1, 1, 1, 1}, 10, -1, 0, 8});
    const std::string gifPath = folder_.File("moving.gif");
    test::WriteFileBytes(gifPath, gif.Bytes());
    const auto loaded = test::LoadPicture(gifPath);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    ASSERT_EQ(loaded.image.animation.frameCount, 2);
    const std::string path = folder_.File("still.png");
    ASSERT_TRUE(WritePng(path, *loaded.canvas, loaded.image, false, QuietHost()));
    EXPECT_EQ(Header(path)[25], 3);
    const std::string alpha =
        test::RunCommand(std::string(test::kImageMagickConvert) + " " + path + " -depth 8 rgba:-").value_or("");
    ASSERT_EQ(alpha.size(), 4u * 2 * 4);
    EXPECT_EQ(std::string(alpha.substr(0, 12)), std::string("\xFF\0\0\xFF\0\xFF\0\xFF\0\0\xFF\xFF", 12));
    EXPECT_EQ(uint8_t(alpha[15]), 0) << "index 3 is the first frame's transparent colour";
}

// 16-bit samples are left to the PngSuite test: ImageMagick's own reduction
// to 8 bits truncates where the reader rounds.
TEST_F(PngFiles, ImageMagickPngsOfEveryColourTypeLoadAsItDecodesThem) {
    const std::string source = folder_.File("source.ppm");
    test::WriteFileBytes(source, test::ToPpm(test::MakePattern(33, 17)));
    const std::string convert = std::string(test::kImageMagickConvert) + " " + source;
    struct Case {
        std::string options, name, prefix;
    };
    for (const auto& [options, name, prefix] : std::vector<Case>{
             {"", "rgb.png", ""},
             {"-interlace PNG", "interlaced.png", ""},
             {"-colors 7", "palette.png", "PNG8:"},
             {"-colorspace Gray -depth 4", "gray4.png", ""},
             {"-monochrome", "mono.png", ""},
         }) {
        const std::string path = folder_.File(name);
        const std::string command = convert + " " + options + " " + prefix + path;
        ASSERT_TRUE(test::RunCommand(command)) << command;
        const auto expected = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(expected);
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << name << ": " << test::FirstDifference(*expected, ours);
    }
}

}  // namespace
}  // namespace marbleye
