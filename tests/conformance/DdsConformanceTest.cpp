// DirectDraw surfaces written by ImageMagick (stored, DXT1 and DXT5, opaque
// and with alpha, with and without mip levels) load as ImageMagick decodes
// them, colour and alpha.
#include <gtest/gtest.h>

#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

// The alpha of a 32-bit canvas, top-down.
std::vector<uint8_t> CanvasAlpha(const ImageCanvas& canvas) {
    std::vector<uint8_t> alpha;
    for (int32_t y = canvas.height() - 1; y >= 0; --y) {
        const uint8_t* row = canvas.Row(y);
        for (int32_t x = 0; x < canvas.width(); ++x) alpha.push_back(row[x * 4 + 3]);
    }
    return alpha;
}

// ImageMagick's alpha of a file, top-down.
std::optional<std::vector<uint8_t>> AlphaWithImageMagick(const std::string& path) {
    const auto pgm = test::RunCommand(std::string(test::kImageMagickConvert) + " " + test::Quoted(path) +
                                      " -alpha extract -depth 8 pgm:-");
    if (!pgm) return std::nullopt;
    const auto grey = test::FromPnm(*pgm);
    if (!grey) return std::nullopt;
    std::vector<uint8_t> alpha;
    for (size_t i = 0; i < grey->rgb.size(); i += 3) alpha.push_back(grey->rgb[i]);
    return alpha;
}

class DdsConformance : public ::testing::Test {
protected:
    void SetUp() override { MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert); }

    std::string Convert(const std::string& source, const std::string& options, const std::string& name) {
        const std::string path = folder_.File(name);
        const auto made = test::RunCommand(std::string(test::kImageMagickConvert) + " " + source + " " + options +
                                           " " + path + " && echo made");
        EXPECT_TRUE(made && !made->empty()) << name;
        return path;
    }

    // Loads a file and expects ImageMagick's colours, and its alpha when
    // withAlpha (else a 24-bit canvas).
    void ExpectLikeImageMagick(const std::string& path, bool withAlpha, int32_t storedBits) {
        const auto expected = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(expected) << path;
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << path << ": " << picture.message();
        EXPECT_EQ(picture.image.fileBitDepth, storedBits) << path;
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << path << ": " << test::FirstDifference(*expected, ours);
        ASSERT_EQ(picture.canvas->bitsPerPixel(), withAlpha ? 32 : 24) << path;
        if (!withAlpha) return;
        const auto alpha = AlphaWithImageMagick(path);
        ASSERT_TRUE(alpha) << path;
        EXPECT_EQ(CanvasAlpha(*picture.canvas), *alpha) << path;
    }

    test::TempFolder folder_;
};

TEST_F(DdsConformance, OpaqueSurfacesLoadAsImageMagickDecodesThem) {
    const std::string source = folder_.File("source.ppm");
    test::WriteFileBytes(source, test::ToPpm(test::MakePattern(37, 21)));
    const std::string stored = Convert(source, "-define dds:compression=none", "stored.dds");
    ExpectLikeImageMagick(stored, false, 24);
    // The stored one holds exactly the source picture.
    const auto picture = test::LoadPicture(stored);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(test::CanvasToRgb(*picture.canvas), test::MakePattern(37, 21));

    ExpectLikeImageMagick(Convert(source, "-define dds:compression=dxt1", "dxt1.dds"), false, 4);
    ExpectLikeImageMagick(Convert(source, "-define dds:compression=dxt1 -define dds:mipmaps=0", "dxt1-top.dds"),
                          false, 4);
    ExpectLikeImageMagick(Convert(source, "-define dds:compression=dxt1 -define dds:cluster-fit=true", "fit.dds"),
                          false, 4);
    // Sizes that are multiples of the block, and the smallest.
    for (const auto& [width, height] : {std::pair{16, 8}, std::pair{1, 1}, std::pair{2, 3}, std::pair{5, 4}}) {
        const std::string small = folder_.File("small.ppm");
        test::WriteFileBytes(small, test::ToPpm(test::MakePattern(width, height)));
        const std::string name = "small" + std::to_string(width) + "x" + std::to_string(height);
        ExpectLikeImageMagick(Convert(small, "-define dds:compression=dxt1", name + ".dds"), false, 4);
        ExpectLikeImageMagick(Convert(small, "-define dds:compression=none", name + "-stored.dds"), false, 24);
    }
}

TEST_F(DdsConformance, SurfacesWithAlphaLoadWithTheirAlpha) {
    const std::string source = folder_.File("source.ppm");
    test::WriteFileBytes(source, test::ToPpm(test::MakePattern(37, 21)));
    const std::string rgba = folder_.File("rgba.png");
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + source +
                                 " \\( -size 37x21 gradient: -rotate 90 -resize 37x21! \\) -alpha off"
                                 " -compose CopyOpacity -composite " + rgba));
    ExpectLikeImageMagick(Convert(rgba, "-define dds:compression=none", "stored.dds"), true, 32);
    ExpectLikeImageMagick(Convert(rgba, "-define dds:compression=dxt5", "dxt5.dds"), true, 8);
    ExpectLikeImageMagick(Convert(rgba, "-define dds:compression=dxt5 -define dds:mipmaps=0", "dxt5-top.dds"), true,
                          8);
    // ImageMagick's DXT1 writer uses no transparent code: blocks without
    // one give the opaque canvas.
    ExpectLikeImageMagick(Convert(rgba, "-define dds:compression=dxt1", "dxt1.dds"), false, 4);
}

}  // namespace
}  // namespace marbleye
