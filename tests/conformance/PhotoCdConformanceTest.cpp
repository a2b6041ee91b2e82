// Photo CD files written by ImageMagick load with the luma and chroma
// ImageMagick itself finds in them, at every size, and quarter turns go the
// way ImageMagick turns them.
//
// ImageMagick's own colour conversion differs from ours by up to about 40
// levels in saturated colours (its stored-colour curve is not our linear
// one), so comparing final colours would need a tolerance too wide to catch
// anything. Instead ImageMagick is asked for the stored luma and chroma
// bytes (its colour space relabelled, not converted) and ours must equal the
// published conversion of exactly those bytes. ImageMagick interpolates the
// chroma between its samples, so every pixel takes the chroma of the top
// left pixel of its square of four, where ImageMagick's value is the sample.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

#include "formats/photocd/PhotoCd.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

// The published conversion of one pixel's luma and chroma bytes.
std::array<uint8_t, 3> Converted(int y, int c1, int c2) {
    const double l = 1.407488 * y, k1 = c1 - 156.0, k2 = c2 - 137.0;
    auto channel = [](double v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v)); };
    return {channel(l + 1.3230336 * k2 + 0.0000256 * k1), channel(l - 0.3954176 * k1 - 0.67392 * k2),
            channel(l + 0.0000256 * k2 + 2.0360448 * k1)};
}

// The picture turned a quarter to the left `turns` times.
RgbImage TurnedLeft(const RgbImage& image, int turns) {
    RgbImage turned = image;
    for (int t = 0; t < turns; ++t) {
        RgbImage next{turned.height, turned.width, std::vector<uint8_t>(turned.rgb.size())};
        for (int y = 0; y < turned.height; ++y) {
            for (int x = 0; x < turned.width; ++x) {
                const uint8_t* from = turned.At(x, y);
                std::copy(from, from + 3,
                          next.rgb.data() + (static_cast<size_t>(turned.width - 1 - x) * next.width + y) * 3);
            }
        }
        turned = std::move(next);
    }
    return turned;
}

class PhotoCdFiles : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        const std::string source = folder_.File("source.ppm");
        test::WriteFileBytes(source, test::ToPpm(test::MakePattern(768, 512)));
        pcd_ = folder_.File("magick.pcd");
        ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + source + " PCD:" + pcd_));
    }

    // The stored bytes as ImageMagick decodes them: luma, C1, C2 in place
    // of red, green, blue. Its subimages 1 to 3 are the three packs.
    std::optional<RgbImage> StoredBytes(const std::string& path, int subimage) {
        return test::FromPnm(test::RunCommand(std::string(test::kImageMagickConvert) + " '" + path + "[" +
                                              std::to_string(subimage) + "]' -set colorspace sRGB -depth 8 ppm:-")
                                 .value_or(""));
    }

    test::LoadedPicture Load(const std::string& path, int32_t size) {
        LoadOptions options;
        options.photoCdSize = size;
        return test::LoadPicture(path, options);
    }

    test::TempFolder folder_;
    std::string pcd_;
};

TEST_F(PhotoCdFiles, EveryPackLoadsAsTheConversionOfTheBytesImageMagickFinds) {
    const int widths[] = {192, 384, 768};
    for (int32_t size = 0; size < 3; ++size) {
        const auto stored = StoredBytes(pcd_, size + 1);
        ASSERT_TRUE(stored) << size;
        ASSERT_EQ(stored->width, widths[size]);
        const auto picture = Load(pcd_, size);
        ASSERT_TRUE(picture.ok()) << picture.message();
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        RgbImage expected{stored->width, stored->height, {}};
        for (int y = 0; y < stored->height; ++y) {
            for (int x = 0; x < stored->width; ++x) {
                const uint8_t* chroma = stored->At(x & ~1, y & ~1);
                const auto rgb = Converted(stored->At(x, y)[0], chroma[1], chroma[2]);
                expected.rgb.insert(expected.rgb.end(), rgb.begin(), rgb.end());
            }
        }
        EXPECT_EQ(ours, expected) << size << ": " << test::FirstDifference(expected, ours);
    }
}

TEST_F(PhotoCdFiles, TurnedPicturesTurnTheWayImageMagickTurnsThem) {
    // ImageMagick takes the orientation from the copy of the field in the
    // image pack header (byte 0xE02), we from the one at byte 72: set both.
    const std::string original = test::ReadFileBytes(pcd_);
    const auto upright = Load(pcd_, 0);
    const auto storedUpright = StoredBytes(pcd_, 1);
    ASSERT_TRUE(upright.ok() && storedUpright);
    for (int turns = 1; turns < 4; ++turns) {
        std::string bytes = original;
        bytes[72] = static_cast<char>(turns);
        bytes[0xE02] = static_cast<char>(turns);
        const std::string path = folder_.File("turned" + std::to_string(turns) + ".pcd");
        test::WriteFileBytes(path, bytes);
        // ImageMagick leaves the half turn out; the quarter turns tie the
        // direction of ours to its.
        if (turns != 2) {
            const auto theirs = StoredBytes(path, 1);
            ASSERT_TRUE(theirs);
            ASSERT_EQ(*theirs, TurnedLeft(*storedUpright, turns)) << "ImageMagick turns " << turns << " quarters left";
        }
        const auto picture = Load(path, 0);
        ASSERT_TRUE(picture.ok()) << picture.message();
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        const RgbImage expected = TurnedLeft(test::CanvasToRgb(*upright.canvas), turns);
        EXPECT_EQ(ours, expected) << turns << ": " << test::FirstDifference(expected, ours);
    }
}

TEST_F(PhotoCdFiles, TheCommandLineTakesTheLoadSizeFromItsSettings) {
    for (const auto& [setting, width] :
         {std::pair{std::string(), 768}, std::pair{std::string(" --set PCDLoadSize=0"), 192},
          std::pair{std::string(" --set PCDLoadSize=1"), 384}}) {
        const std::string out = folder_.File("out.ppm");
        const int status =
            std::system((std::string(MARBLEYE_CLI_PATH) + " convert " + pcd_ + " " + out + setting).c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << setting;
        const auto written = test::DecodeWithImageMagick(out);
        ASSERT_TRUE(written) << setting;
        EXPECT_EQ(written->width, width) << setting;
        const auto direct = Load(pcd_, width == 192 ? 0 : width == 384 ? 1 : 2);
        EXPECT_EQ(*written, test::CanvasToRgb(*direct.canvas)) << setting;
    }
}

}  // namespace
}  // namespace marbleye
