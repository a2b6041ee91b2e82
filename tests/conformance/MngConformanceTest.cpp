// MNG and JNG files made by ImageMagick load as ImageMagick decodes their
// first frame, pixel by pixel; an animation our MNG writer made from an
// ImageMagick GIF loads as that GIF's first frame; the command-line tool
// reports the frames and layers.
#include <gtest/gtest.h>

#include "formats/mng/MngWriter.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::Quoted;
using test::RgbImage;

class MngFiles : public ::testing::Test {
protected:
    void SetUp() override { MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert); }

    void Make(const std::string& arguments) {
        ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + arguments)) << arguments;
    }
    // ImageMagick's decoding of the first frame: red, green, blue and alpha.
    std::string MagickFirstFrameRgba(const std::string& path) {
        return test::RunCommand(std::string(test::kImageMagickConvert) + " " + Quoted(path + "[0]") +
                                " -depth 8 rgba:-")
            .value_or("");
    }
    test::TempFolder folder_;
};

// The canvas's pixels as red, green, blue, alpha from the top (alpha 255 on
// a 24-bit canvas).
std::string CanvasRgba(const ImageCanvas& canvas) {
    std::string rgba;
    const int32_t step = canvas.bitsPerPixel() / 8;
    for (int32_t y = 0; y < canvas.height(); ++y) {
        const uint8_t* row = canvas.Row(canvas.height() - 1 - y);
        for (int32_t x = 0; x < canvas.width(); ++x) {
            const uint8_t* pixel = row + x * step;
            rgba += static_cast<char>(pixel[2]);
            rgba += static_cast<char>(pixel[1]);
            rgba += static_cast<char>(pixel[0]);
            rgba += static_cast<char>(step == 4 ? pixel[3] : 255);
        }
    }
    return rgba;
}

// Where the two decodings differ by more than `tolerance` in a component;
// colours of fully transparent pixels do not count.
std::string Differences(const std::string& expected, const std::string& actual, int32_t width, int tolerance) {
    if (expected.size() != actual.size()) {
        return "sizes " + std::to_string(expected.size()) + " and " + std::to_string(actual.size());
    }
    for (size_t i = 0; i < expected.size(); i += 4) {
        const bool transparent = static_cast<uint8_t>(expected[i + 3]) == 0;
        for (size_t c = transparent ? 3 : 0; c < 4; ++c) {
            const int difference = static_cast<uint8_t>(expected[i + c]) - static_cast<uint8_t>(actual[i + c]);
            if (std::abs(difference) > tolerance) {
                const size_t pixel = i / 4;
                return "pixel " + std::to_string(pixel % width) + "," + std::to_string(pixel / width) +
                       " component " + std::to_string(c) + ": " + std::to_string(static_cast<uint8_t>(expected[i + c])) +
                       " against " + std::to_string(static_cast<uint8_t>(actual[i + c]));
            }
        }
    }
    return std::string();
}

TEST_F(MngFiles, AnimationsShowTheirFirstFrame) {
    const std::string path = folder_.File("anim.mng");
    Make("-delay 20 -size 61x37 gradient:red-navy xc:lime rose: -loop 0 -depth 8 " + Quoted(path));
    const auto picture = test::LoadPicture(path);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->width(), 61);
    EXPECT_EQ(picture.canvas->height(), 37);
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 24);
    EXPECT_EQ(Differences(MagickFirstFrameRgba(path), CanvasRgba(*picture.canvas), 61, 0), "");
    EXPECT_EQ(picture.image.mngCounts.frameCount, 3);
    EXPECT_TRUE(picture.image.mngCounts.animated());
}

TEST_F(MngFiles, StillPicturesWithAndWithoutAlpha) {
    const std::string plain = folder_.File("plain.mng");
    Make("rose: " + Quoted(plain));
    const std::string alpha = folder_.File("alpha.mng");
    Make("-size 50x30 gradient:yellow-blue -alpha set -channel A -fx \"i/w\" +channel -depth 8 " + Quoted(alpha));
    // ImageMagick stores this one with 16-bit samples, which the MNG library
    // cuts to their high byte and ImageMagick rounds.
    const std::string deep = folder_.File("deep.mng");
    Make("-size 50x30 gradient:yellow-blue -alpha set -channel A -fx \"j/h\" +channel " + Quoted(deep));
    for (const auto& [path, tolerance] : {std::pair{plain, 0}, std::pair{alpha, 0}, std::pair{deep, 1}}) {
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << path << ": " << picture.message();
        EXPECT_EQ(Differences(MagickFirstFrameRgba(path), CanvasRgba(*picture.canvas), picture.canvas->width(),
                              tolerance),
                  "")
            << path;
        EXPECT_EQ(picture.image.mngCounts.frameCount, 1);
        EXPECT_FALSE(picture.image.mngCounts.animated());
    }
    EXPECT_EQ(test::LoadPicture(alpha).canvas->bitsPerPixel(), 32);
}

TEST_F(MngFiles, JngPicturesDecodeLikeImageMagick) {
    const std::string plain = folder_.File("rose.jng");
    Make("rose: -quality 90 jng:" + Quoted(plain));
    const std::string alpha = folder_.File("alpha.jng");
    Make("rose: -alpha set -channel A -fx \"j/h\" +channel -quality 90 jng:" + Quoted(alpha));
    for (const std::string& path : {plain, alpha}) {
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << path << ": " << picture.message();
        EXPECT_EQ(picture.canvas->width(), 70);
        EXPECT_EQ(picture.canvas->height(), 46);
        // Both decode the JPEG data with libjpeg; their colour conversions
        // may round apart by a step.
        EXPECT_EQ(Differences(MagickFirstFrameRgba(path), CanvasRgba(*picture.canvas), 70, 2), "") << path;
    }
}

TEST_F(MngFiles, OurAnimationFromAnImageMagickGif) {
    const std::string gif = folder_.File("anim.gif");
    Make("-delay 10 -size 40x25 xc:orange -fill navy -draw \"rectangle 5,5,20,15\" xc:teal xc:purple -loop 0 " +
         Quoted(gif));
    const auto source = test::LoadPicture(gif);
    ASSERT_TRUE(source.ok()) << source.message();
    const std::string mng = folder_.File("ours.mng");
    ASSERT_TRUE(WriteMng(mng, *source.canvas, source.image, QuietHost()));
    const auto picture = test::LoadPicture(mng);
    ASSERT_TRUE(picture.ok()) << picture.message();
    const auto first = test::RunCommand(std::string(test::kImageMagickConvert) + " " + Quoted(gif + "[0]") +
                                        " -depth 8 rgba:-");
    ASSERT_TRUE(first);
    EXPECT_EQ(Differences(*first, CanvasRgba(*picture.canvas), 40, 0), "");
    EXPECT_EQ(picture.image.mngCounts.frameCount, 3);
    EXPECT_EQ(picture.image.mngCounts.layerCount, 4);
}

TEST_F(MngFiles, TheToolReportsFramesAndLayers) {
    const std::string path = folder_.File("anim.mng");
    Make("-delay 50 -size 30x20 xc:red xc:blue xc:lime -loop 0 " + Quoted(path));
    const auto info = test::RunCommand(std::string(MARBLEYE_CLI_PATH) + " info " + Quoted(path));
    ASSERT_TRUE(info);
    EXPECT_NE(info->find("format id: 19 (MNG)\n"), std::string::npos) << *info;
    EXPECT_NE(info->find("width: 30\nheight: 20\n"), std::string::npos) << *info;
    EXPECT_NE(info->find("frames: 3\nlayers: 4\n"), std::string::npos) << *info;
}

}  // namespace
}  // namespace marbleye
