// Photoshop files written by ImageMagick (RGB, RGB with alpha, grey, CMYK
// and palette pictures, raw and PackBits, at 8 and 16 bits a channel) load
// as the picture ImageMagick was given, or as ImageMagick itself decodes
// them where it converted the colours on the way (at 16 bits: the high byte
// of its samples).
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

class PhotoshopFromImageMagick : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        source_ = test::MakePattern(37, 23);
        test::WriteFileBytes(folder_.File("source.ppm"), test::ToPpm(source_));
    }

    // Converts the source picture with the given options; the loaded file.
    test::LoadedPicture Make(const std::string& options, const std::string& name, const std::string& input = "") {
        const std::string path = folder_.File(name);
        const std::string from = input.empty() ? folder_.File("source.ppm") : input;
        EXPECT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + from + " " + options + " " + path))
            << name;
        return test::LoadPicture(path);
    }

    // ImageMagick's decoding of the merged picture alone (its frame 0).
    std::optional<RgbImage> Decode(const std::string& name, const std::string& extra = "") {
        const auto ppm = test::RunCommand(std::string(test::kImageMagickConvert) + " " + folder_.File(name) + "[0] " +
                                          extra + " -alpha off -depth 8 ppm:-");
        return ppm ? test::FromPnm(*ppm) : std::nullopt;
    }

    RgbImage source_;
    test::TempFolder folder_;
};

const char* const kCompressions[] = {"None", "RLE"};

TEST_F(PhotoshopFromImageMagick, RgbPicturesAtBothDepthsLoadAsTheSource) {
    for (const char* compression : kCompressions) {
        for (const char* depth : {"8", "16"}) {
            const std::string name = std::string("rgb-") + compression + "-" + depth + ".psd";
            const auto picture = Make(std::string("-depth ") + depth + " -compress " + compression, name);
            ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
            EXPECT_EQ(picture.canvas->bitsPerPixel(), 24) << name;
            EXPECT_EQ(picture.image.fileBitDepth, 24) << name;
            const RgbImage ours = test::CanvasToRgb(*picture.canvas);
            EXPECT_EQ(ours, source_) << name << ": " << test::FirstDifference(source_, ours);
        }
    }
}

TEST_F(PhotoshopFromImageMagick, AnAlphaChannelIsTheFourthByte) {
    for (const char* compression : kCompressions) {
        const std::string name = std::string("rgba-") + compression + ".psd";
        // Alpha rising from left to right: ImageMagick's own alpha channel.
        const auto picture = Make("-alpha set -channel A -fx i/w +channel -depth 8 -compress " + std::string(compression),
                                  name);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        ASSERT_EQ(picture.canvas->bitsPerPixel(), 32) << name;
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, source_) << name << ": " << test::FirstDifference(source_, ours);
        const auto alpha = Decode(name, "-alpha extract");
        ASSERT_TRUE(alpha) << name;
        int wrong = 0;
        for (int32_t y = 0; y < source_.height; ++y) {
            const uint8_t* row = picture.canvas->Row(source_.height - 1 - y);
            for (int32_t x = 0; x < source_.width; ++x) wrong += row[x * 4 + 3] != alpha->At(x, y)[0];
        }
        EXPECT_EQ(wrong, 0) << name;
    }
}

TEST_F(PhotoshopFromImageMagick, GreyAndPalettePicturesLoadAsImageMagickDecodesThem) {
    const std::string few = folder_.File("few.ppm");
    test::WriteFileBytes(few, test::ToPpm(test::MakePalettePattern(29, 13, {0xFF0000, 0x0000FF, 0x10E020, 0x808080})));
    for (const char* compression : kCompressions) {
        for (const char* depth : {"8", "16"}) {
            const std::string name = std::string("grey-") + compression + "-" + depth + ".psd";
            const auto picture =
                Make(std::string("-colorspace Gray -depth ") + depth + " -compress " + compression, name);
            ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
            EXPECT_EQ(picture.canvas->bitsPerPixel(), 8) << name;
            const RgbImage ours = test::CanvasToRgb(*picture.canvas);
            if (std::string(depth) == "8") {
                const auto expected = Decode(name);
                ASSERT_TRUE(expected) << name;
                EXPECT_EQ(ours, *expected) << name << ": " << test::FirstDifference(*expected, ours);
                continue;
            }
            // At 16 bits the grey is the high byte of ImageMagick's own samples.
            const auto samples = test::RunCommand(std::string(test::kImageMagickConvert) + " " + folder_.File(name) +
                                                  "[0] -depth 16 -endian MSB gray:-");
            ASSERT_TRUE(samples) << name;
            ASSERT_EQ(samples->size(), static_cast<size_t>(ours.width) * ours.height * 2) << name;
            int wrong = 0;
            for (int32_t y = 0; y < ours.height; ++y) {
                for (int32_t x = 0; x < ours.width; ++x) {
                    const auto high = static_cast<uint8_t>((*samples)[(static_cast<size_t>(y) * ours.width + x) * 2]);
                    wrong += ours.At(x, y)[0] != high || ours.At(x, y)[2] != high;
                }
            }
            EXPECT_EQ(wrong, 0) << name;
        }
        const std::string name = std::string("palette-") + compression + ".psd";
        const auto picture = Make("-type Palette -compress " + std::string(compression), name, few);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 8) << name;
        const auto expected = test::FromPnm(test::ReadFileBytes(few));
        ASSERT_TRUE(expected);
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << name << ": " << test::FirstDifference(*expected, ours);
    }
}

TEST_F(PhotoshopFromImageMagick, CmykPicturesLoadAsImageMagickConvertsThemBack) {
    for (const char* compression : kCompressions) {
        const std::string name = std::string("cmyk-") + compression + ".psd";
        const auto picture = Make("-colorspace CMYK -depth 8 -compress " + std::string(compression), name);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), 32) << name;
        const auto expected = Decode(name, "-colorspace sRGB");
        ASSERT_TRUE(expected) << name;
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        ASSERT_EQ(ours.width, expected->width);
        ASSERT_EQ(ours.height, expected->height);
        // Both undo the inks the same way; rounding may differ by one.
        int wrong = 0;
        for (size_t i = 0; i < ours.rgb.size(); ++i) wrong += std::abs(ours.rgb[i] - expected->rgb[i]) > 1;
        EXPECT_EQ(wrong, 0) << name << ": " << test::FirstDifference(*expected, ours);
    }
}

}  // namespace
}  // namespace marbleye
