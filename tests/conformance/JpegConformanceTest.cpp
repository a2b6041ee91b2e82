// JPEG files made by cjpeg and ImageMagick load exactly as djpeg decodes
// them (in thumbnail mode at each reduced scale too), and our JPEG files are
// the ones cjpeg makes from the same pixels with the same options.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include <jpeglib.h>

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

// Huffman coding spends at least a bit on every block, the most a file can
// describe; flat pictures come close (an optimised baseline file spends two
// bits a block) and must load. Arithmetic coding can spend far less on them;
// it is held to the same rule by choice, so such a file is refused.
TEST_F(JpegFiles, FlatPicturesNearTheLeastCostOfTheirCodingLoad) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const std::string gray = folder_.File("flat.pgm");
    const std::string colour = folder_.File("flat.ppm");
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " -size 4000x3000 xc:gray50 " + gray));
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " -size 4000x3000 xc:#336699 " + colour));
    for (const char* options : {"-optimize", "-progressive"}) {
        for (const std::string& source : {gray, colour}) {
            const std::string path = folder_.File("flat.jpg");
            ASSERT_TRUE(test::RunCommand(std::string("/usr/bin/cjpeg ") + options + " " + source + " > " + path));
            const auto picture = test::LoadPicture(path);
            ASSERT_TRUE(picture.ok()) << options << " " << source << ": " << picture.message();
            EXPECT_EQ(picture.canvas->width(), 4000);
        }
    }
    const std::string arithmetic = folder_.File("arithmetic.jpg");
    ASSERT_TRUE(test::RunCommand("/usr/bin/cjpeg -arithmetic " + gray + " > " + arithmetic));
    ASSERT_LT(test::ReadFileBytes(arithmetic).size(), 187500u / 8) << "less than a bit for each of its blocks";
    EXPECT_EQ(test::LoadPicture(arithmetic).message(), "Out of Memory");
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

// The Adobe marker's colour transform: 0 for CMYK, 2 for YCCK; -1 without
// the marker.
int AdobeTransformOf(const std::string& jpeg) {
    const size_t marker = jpeg.find("\xFF\xEE\x00\x0E" "Adobe");
    return marker == std::string::npos ? -1 : static_cast<uint8_t>(jpeg[marker + 15]);
}

// A four-component JPEG written by the library itself, from cyan, magenta,
// yellow and black rows of the pattern, with or without Adobe's marker.
std::string WriteCmykWithLibrary(const std::string& path, const RgbImage& pattern, bool adobeMarker) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (!file) return path;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(pattern.width);
    info.image_height = static_cast<JDIMENSION>(pattern.height);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    info.write_Adobe_marker = adobeMarker;
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(pattern.width) * 4);
    for (int32_t y = 0; y < pattern.height; ++y) {
        for (int32_t x = 0; x < pattern.width; ++x) {
            const uint8_t* rgb = pattern.At(x, y);
            std::copy(rgb, rgb + 3, row.begin() + x * 4);
            row[x * 4 + 3] = static_cast<uint8_t>(x * 2 + y);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
    return path;
}

// ImageMagick's separations of a four-component JPEG: it reads every such
// file as Adobe's inverted values, whatever its markers say.
std::vector<uint8_t> ImageMagickInks(const std::string& path) {
    const std::string raw =
        test::RunCommand(std::string(test::kImageMagickConvert) + " " + path + " -depth 8 cmyk:-").value_or("");
    return std::vector<uint8_t>(raw.begin(), raw.end());
}

// Four-component files load as their colours in 32 bits: (255 - ink) x
// (255 - black) / 255 a channel, 255 in the fourth byte. With Adobe's marker
// the stored values are inverted inks (as ImageMagick writes them, as YCCK),
// and ImageMagick's own decoding must match exactly (its -colorspace sRGB
// rounds a step differently in places; its PPM output does not).
TEST_F(JpegFiles, CmykAndYcckFilesShowTheirColours) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const std::string ycck = folder_.File("ycck.jpg");
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + source_ +
                                 " -colorspace CMYK -quality 95 " + ycck));
    const RgbImage pattern = test::MakePattern(57, 33);
    const std::string cmyk = WriteCmykWithLibrary(folder_.File("cmyk.jpg"), pattern, true);
    ASSERT_EQ(AdobeTransformOf(test::ReadFileBytes(ycck)), 2);
    ASSERT_EQ(AdobeTransformOf(test::ReadFileBytes(cmyk)), 0);
    for (const std::string& path : {ycck, cmyk}) {
        const auto expected = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(expected);
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << path << ": " << picture.message();
        ASSERT_EQ(picture.canvas->bitsPerPixel(), 32);
        EXPECT_EQ(picture.image.fileBitDepth, 32);
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << path << ": " << test::FirstDifference(*expected, ours);
        int opaque = 0;
        for (int32_t y = 0; y < picture.canvas->height(); ++y) {
            for (int32_t x = 0; x < picture.canvas->width(); ++x) opaque += picture.canvas->Row(y)[x * 4 + 3] == 255;
        }
        EXPECT_EQ(opaque, picture.canvas->width() * picture.canvas->height()) << path;
    }
}

// Without the marker the stored values are the inks themselves; ImageMagick
// inverts them anyway, so the colours are worked out from its separations:
// its ink is 255 minus the stored value, ours the stored value.
TEST_F(JpegFiles, CmykWithoutAdobesMarkerIsNotInverted) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    const RgbImage pattern = test::MakePattern(41, 19);
    const std::string path = WriteCmykWithLibrary(folder_.File("plain.jpg"), pattern, false);
    ASSERT_EQ(AdobeTransformOf(test::ReadFileBytes(path)), -1);
    const std::vector<uint8_t> inverted = ImageMagickInks(path);
    ASSERT_EQ(inverted.size(), 41u * 19 * 4);
    RgbImage expected{41, 19, std::vector<uint8_t>(41 * 19 * 3)};
    for (size_t i = 0; i < 41 * 19; ++i) {
        const int black = 255 - inverted[i * 4 + 3];
        for (int c = 0; c < 3; ++c) {
            const int ink = 255 - inverted[i * 4 + c];
            expected.rgb[i * 3 + c] = static_cast<uint8_t>(std::lround((255 - ink) * (255 - black) / 255.0));
        }
    }
    const auto picture = test::LoadPicture(path);
    ASSERT_TRUE(picture.ok()) << picture.message();
    const RgbImage ours = test::CanvasToRgb(*picture.canvas);
    EXPECT_EQ(ours, expected) << test::FirstDifference(expected, ours);
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
