// JPEG files made by cjpeg and ImageMagick load exactly as djpeg decodes
// them (in thumbnail mode at each reduced scale too), and our JPEG files are
// the ones cjpeg makes from the same pixels with the same options.
#include <gtest/gtest.h>

#include "formats/jpeg/Jpeg.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

class JpegFiles : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL("/usr/bin/cjpeg");
        MARBLEYE_REQUIRE_TOOL("/usr/bin/djpeg");
        source_ = folder_.File("source.ppm");
        test::WriteFileBytes(source_, test::ToPpm(test::MakePattern(301, 199)));
    }

    std::string Make(const std::string& cjpegOptions, const std::string& name) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(test::RunCommand("/usr/bin/cjpeg " + cjpegOptions + " " + source_ + " > " + path)) << name;
        return path;
    }

    // Our decode of the file against djpeg's with the given options.
    void ExpectLikeDjpeg(const std::string& path, const std::string& djpegOptions,
                         const LoadOptions& options = LoadOptions()) {
        const auto expected = test::FromPnm(test::RunCommand("/usr/bin/djpeg " + djpegOptions + " " + path).value_or(""));
        ASSERT_TRUE(expected) << path;
        const auto picture = test::LoadPicture(path, options);
        ASSERT_TRUE(picture.ok()) << path << ": " << picture.message();
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << path << " " << djpegOptions << ": " << test::FirstDifference(*expected, ours);
    }

    test::TempFolder folder_;
    std::string source_;
};

TEST_F(JpegFiles, CjpegFilesLoadAsDjpegDecodesThem) {
    for (const auto& [options, name] : std::vector<std::pair<std::string, std::string>>{
             {"-quality 90", "baseline.jpg"},
             {"-quality 75 -progressive", "progressive.jpg"},
             {"-quality 60 -restart 3", "restart-rows.jpg"},
             {"-restart 5B -optimize", "restart-blocks.jpg"},
             {"-sample 1x1", "full-chroma.jpg"},
             {"-arithmetic", "arithmetic.jpg"},
         }) {
        ExpectLikeDjpeg(Make(options, name), "");
    }
    const std::string gray = Make("-grayscale", "gray.jpg");
    ExpectLikeDjpeg(gray, "");
    const auto picture = test::LoadPicture(gray);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 8);
    EXPECT_EQ(picture.image.fileBitDepth, 8);
    EXPECT_EQ(picture.image.palette[200 * 3], 200);
}

TEST_F(JpegFiles, ThumbnailModeDecodesAtEachScaleLikeDjpeg) {
    const std::string path = Make("-quality 85", "photo.jpg");
    // 301 pixels wide: above 8 x 30, 4 x 70 and 2 x 140.
    for (const auto& [thumbnailSide, denominator] : std::vector<std::pair<int32_t, int32_t>>{
             {30, 8}, {70, 4}, {140, 2}, {160, 1}}) {
        LoadOptions options;
        options.thumbnail = true;
        options.thumbnailWidth = options.thumbnailHeight = thumbnailSide;
        const std::string djpegOptions = denominator == 1 ? "-dct fast" : "-dct fast -scale 1/" + std::to_string(denominator);
        ExpectLikeDjpeg(path, djpegOptions, options);
        const auto picture = test::LoadPicture(path, options);
        ASSERT_TRUE(picture.ok());
        EXPECT_EQ(picture.canvas->width(), (301 + denominator - 1) / denominator);
        // The status line shows the size of the picture, not of the reduced decode.
        EXPECT_EQ(picture.image.width, picture.canvas->width() * denominator);
    }
}

TEST_F(JpegFiles, CmykFilesLoadIntoThirtyTwoBitsWithBytesZeroAndTwoExchanged) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const std::string path = folder_.File("cmyk.jpg");
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + source_ +
                                 " -colorspace CMYK -quality 95 " + path));
    // ImageMagick's separations; the file stores them inverted (Adobe's
    // convention), and the canvas keeps the stored bytes.
    const std::string separations =
        test::RunCommand(std::string(test::kImageMagickConvert) + " " + path + " -depth 8 cmyk:-").value_or("");
    ASSERT_EQ(separations.size(), 301u * 199 * 4);
    const auto picture = test::LoadPicture(path);
    ASSERT_TRUE(picture.ok()) << picture.message();
    ASSERT_EQ(picture.canvas->bitsPerPixel(), 32);
    EXPECT_EQ(picture.image.fileBitDepth, 32);
    int differing = 0;
    for (int32_t y = 0; y < 199; ++y) {
        const uint8_t* row = picture.canvas->Row(198 - y);
        for (int32_t x = 0; x < 301; ++x) {
            const auto* cmyk = reinterpret_cast<const uint8_t*>(separations.data()) + (y * 301 + x) * 4;
            const uint8_t* ours = row + x * 4;
            if (ours[2] != 255 - cmyk[0] || ours[1] != 255 - cmyk[1] || ours[0] != 255 - cmyk[2] || ours[3] != 255 - cmyk[3]) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(JpegFiles, OurFilesAreWhatCjpegMakesWithTheSameOptions) {
    const auto source = test::LoadPicture(source_);
    ASSERT_TRUE(source.ok());
    struct Case {
        JpegWriteOptions options;
        std::string cjpegOptions;
    };
    for (const Case& c : std::vector<Case>{
             {{80, true, true, 0, false}, "-quality 80 -optimize"},
             {{35, true, false, 0, false}, "-quality 35"},
             {{90, true, true, 50, false}, "-quality 90 -optimize -smooth 50"},
             {{75, true, false, 0, true}, "-quality 75 -progressive"},
             {{100, true, true, 100, true}, "-quality 100 -optimize -smooth 100 -progressive"},
         }) {
        const std::string ours = folder_.File("ours.jpg");
        ASSERT_TRUE(WriteJpeg(ours, *source.canvas, c.options, QuietHost()));
        const std::string theirs = Make(c.cjpegOptions, "theirs.jpg");
        EXPECT_EQ(test::ReadFileBytes(ours), test::ReadFileBytes(theirs)) << c.cjpegOptions;
    }
}

TEST_F(JpegFiles, OurGrayFilesHaveOneComponentOfTheStatedWeights) {
    const RgbImage flat = test::MakePalettePattern(64, 64, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080});
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(flat, canvas));
    const std::string path = folder_.File("gray.jpg");
    ASSERT_TRUE(WriteJpeg(path, canvas, JpegWriteOptions{100, false, true, 0, false}, QuietHost()));
    const std::string decoded = test::RunCommand("/usr/bin/djpeg " + path).value_or("");
    ASSERT_EQ(decoded.substr(0, 2), "P5") << "djpeg writes a graymap only for one component";
    const auto gray = test::FromPnm(decoded);
    ASSERT_TRUE(gray);
    // Solid 8 x 8 blocks of one colour survive quality 100 within a step.
    const auto grayAt = [&](int32_t x, int32_t y) { return gray->At(x, y)[0]; };
    const auto expectNear = [](int actual, int expected) { EXPECT_NEAR(actual, expected, 1); };
    expectNear(grayAt(2, 2), 76);  // red: 0.299 x 255 = 76.2
    const auto picture = test::LoadPicture(path);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 8);
}

}  // namespace
}  // namespace marbleye
