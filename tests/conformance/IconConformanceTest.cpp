// Icons made by icoutils' icotool from PNG pictures load as ImageMagick
// draws those pictures on white, scaled to 32 x 32 where the icon holds
// another size; the command-line tool converts them to the same picture.
#include <gtest/gtest.h>

#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

constexpr const char* kIcotool = "/usr/bin/icotool";

class IconFiles : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        MARBLEYE_REQUIRE_TOOL(kIcotool);
    }
    std::string Magick(const std::string& arguments) {
        return std::string(test::kImageMagickConvert) + " " + arguments;
    }

    // A PNG of 8-bit samples with alpha made by ImageMagick from its drawing
    // arguments.
    std::string Picture(const std::string& name, const std::string& drawing) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(test::RunCommand(Magick(drawing + " -depth 8 -define png:color-type=6 " + path)));
        return path;
    }
    std::string Icon(const std::string& name, const std::string& options, const std::string& pictures) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(test::RunCommand(std::string(kIcotool) + " -c " + options + " -o " + path + " " + pictures));
        return path;
    }
    // The picture drawn on white by ImageMagick, then its extra arguments.
    RgbImage OnWhite(const std::string& picture, const std::string& then = "") {
        const auto rgb = test::FromPnm(
            test::RunCommand(Magick(picture + " -background white -flatten " + then + " ppm:-")).value_or(""));
        EXPECT_TRUE(rgb);
        return rgb.value_or(RgbImage{});
    }
    void ExpectIcon(const std::string& icon, const RgbImage& expected) {
        const auto picture = test::LoadPicture(icon);
        ASSERT_TRUE(picture.ok()) << icon << ": " << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, 4);
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, expected) << icon << ": " << test::FirstDifference(expected, ours);
    }
    test::TempFolder folder_;
};

// Variable transparency over a gradient, and a picture of few colours whose
// pixels are either opaque or transparent (for the paletted depths, where
// icotool keeps only a mask), both asymmetric.
const char* kGraded =
    "-size %s gradient:'rgb(200,30,60)'-'rgb(10,90,220)' -alpha set -channel A -fx 'i/w*j/h' +channel";
const char* kFewColours =
    "-size %s xc:none +antialias -fill red -draw 'rectangle 2,3,20,12' -fill 'rgb(0,0,200)' "
    "-draw 'circle 20,20 28,26' -fill 'rgb(0,160,40)' -draw 'line 0,31 31,16'";

std::string Sized(const char* drawing, const std::string& size) {
    char text[512];
    std::snprintf(text, sizeof text, drawing, size.c_str());
    return text;
}

TEST_F(IconFiles, ThirtyTwoPixelIconsAtEveryDepth) {
    const std::string graded = Picture("graded.png", Sized(kGraded, "32x32"));
    ExpectIcon(Icon("graded32.ico", "-b 32", graded), OnWhite(graded));
    const std::string few = Picture("few.png", Sized(kFewColours, "32x32"));
    for (const char* bits : {"4", "8", "24", "32"}) {
        ExpectIcon(Icon("few" + std::string(bits) + ".ico", std::string("-b ") + bits, few), OnWhite(few));
    }
    // A PNG stored as it is.
    ExpectIcon(Icon("raw.ico", "", "-r " + graded), OnWhite(graded));
}

TEST_F(IconFiles, OtherSizesAreStretchedTo32) {
    // 16 pixels double; 48 pixels made of 3 x 3 blocks lose one pixel of
    // each block as ImageMagick's sampling does (the pixels that meet in one
    // target pixel are equal, so combining them changes nothing).
    const std::string small = Picture("small.png", Sized(kGraded, "16x16"));
    ExpectIcon(Icon("small.ico", "-b 32", small), OnWhite(small, "-sample 32x32"));
    const std::string fewSmall = Picture("few-small.png", Sized(kFewColours, "32x32") + " -sample 16x16");
    ExpectIcon(Icon("few-small.ico", "-b 8", fewSmall), OnWhite(fewSmall, "-sample 32x32"));
    const std::string large = Picture("large.png", Sized(kGraded, "16x16") + " -sample 48x48");
    ExpectIcon(Icon("large.ico", "-b 32", large), OnWhite(large, "-sample 32x32"));
    const std::string fewLarge = Picture("few-large.png", Sized(kFewColours, "32x32") + " -sample 16x16 -sample 48x48");
    ExpectIcon(Icon("few-large.ico", "-b 4", fewLarge), OnWhite(fewLarge, "-sample 32x32"));
}

TEST_F(IconFiles, TheThirtyTwoPixelImageOfSeveralIsShown) {
    const std::string small = Picture("small.png", Sized(kFewColours, "16x16"));
    const std::string middle = Picture("middle.png", Sized(kGraded, "32x32"));
    const std::string large = Picture("large.png", Sized(kFewColours, "48x48"));
    ExpectIcon(Icon("three.ico", "-b 32", small + " " + large + " " + middle), OnWhite(middle));
    // At one size, the deepest image is closest to the display's 32 bits.
    const std::string few = Picture("few.png", Sized(kFewColours, "32x32"));
    ASSERT_TRUE(
        test::RunCommand(std::string(kIcotool) + " -c -o " + folder_.File("both.ico") + " " + few + " " + middle));
    ExpectIcon(folder_.File("both.ico"), OnWhite(middle));
}

TEST_F(IconFiles, TheCommandLineToolConvertsIconsToTheSamePicture) {
    const std::string graded = Picture("graded.png", Sized(kGraded, "48x48"));
    const std::string icon = Icon("graded.ico", "-b 32", graded);
    const std::string ppm = folder_.File("graded.ppm");
    ASSERT_TRUE(test::RunCommand(std::string(MARBLEYE_CLI_PATH) + " convert " + icon + " " + ppm));
    const auto converted = test::FromPnm(test::ReadFileBytes(ppm));
    ASSERT_TRUE(converted);
    const auto picture = test::LoadPicture(icon);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(*converted, test::CanvasToRgb(*picture.canvas));
    EXPECT_EQ(converted->width, 32);
}

}  // namespace
}  // namespace marbleye
