// GIF files made by ImageMagick load as ImageMagick decodes them (animations
// cell by cell against its coalesced frames where the strip rules agree), and
// the GIF files we write are read back by giflib and ImageMagick to exactly
// the colours we wrote.
#include <gtest/gtest.h>

#include <algorithm>

#include "formats/gif/Gif.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

class GifConformance : public ::testing::Test {
protected:
    void SetUp() override { MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert); }

    std::string Magick(const std::string& arguments, const std::string& name) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + arguments + " " + path)) << name;
        return path;
    }
    std::string Ppm(const RgbImage& image, const std::string& name) {
        const std::string path = folder_.File(name);
        test::WriteFileBytes(path, test::ToPpm(image));
        return path;
    }
    test::TempFolder folder_;
};

// Cell k of a strip (the first frame is the bottom cell) as top-down RGB.
RgbImage Cell(const RgbImage& strip, int cells, int k) {
    const int height = strip.height / cells;
    RgbImage cell{strip.width, height, {}};
    const int top = (cells - 1 - k) * height;
    cell.rgb.assign(strip.rgb.begin() + static_cast<std::ptrdiff_t>(top) * strip.width * 3,
                    strip.rgb.begin() + static_cast<std::ptrdiff_t>(top + height) * strip.width * 3);
    return cell;
}

TEST_F(GifConformance, StillPicturesLoadAsImageMagickDecodesThem) {
    const std::string photo = Ppm(test::MakePattern(37, 21), "photo.ppm");
    const std::string twoColours = Ppm(test::MakePalettePattern(1, 1, {0xFF8000}), "dot.ppm");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {photo + " -colors 256", "photo.gif"},
        {photo + " -colors 16 -interlace GIF", "interlaced.gif"},
        {twoColours, "dot.gif"},
        {photo + " -colors 2", "two.gif"},
        {photo + " -resize 301x7! -colors 200", "wide.gif"},
    };
    for (const auto& [arguments, name] : cases) {
        const std::string path = Magick(arguments, name);
        const auto expected = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(expected) << name;
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << name << ": " << test::FirstDifference(*expected, ours);
    }
}

TEST_F(GifConformance, AnimationsMatchTheCoalescedFrames) {
    const std::string red = Ppm(test::MakePalettePattern(20, 12, {0xFF0000, 0x800000}), "red.ppm");
    const std::string blue = Ppm(test::MakePalettePattern(20, 12, {0x0000FF, 0x000080, 0xFFFFFF}), "blue.ppm");
    const std::string green = Ppm(test::MakePattern(20, 12), "green.ppm");
    // Full-size frames without transparency: every disposal method shows the
    // same frames, and local colour tables (+map) change nothing.
    for (const char* options : {"-dispose none", "-dispose background", "-dispose previous", "-dispose none +map"}) {
        const std::string path = Magick(std::string(options) + " -delay 7 " + red + " " + blue + " " + green +
                                            " -colors 64 -loop 0",
                                        "anim.gif");
        const auto coalesced = test::RunCommand(std::string(test::kImageMagickConvert) + " " + path +
                                                " -coalesce -alpha off -depth 8 ppm:-");
        ASSERT_TRUE(coalesced);
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << picture.message();
        ASSERT_EQ(picture.image.animation.frameCount, 3) << options;
        EXPECT_EQ(picture.image.animation.delays, (std::vector<int32_t>{7, 7, 7}));
        const RgbImage strip = test::CanvasToRgb(*picture.canvas);
        // ImageMagick writes the frames one after another as P6 images.
        size_t at = 0;
        for (int k = 0; k < 3; ++k) {
            const auto frame = test::FromPnm(coalesced->substr(at));
            ASSERT_TRUE(frame) << options << " frame " << k;
            at = coalesced->find("255\n", at) + 4 + frame->rgb.size();
            EXPECT_EQ(Cell(strip, 3, k), *frame) << options << " frame " << k;
        }
    }
}

TEST_F(GifConformance, AFileCutShortKeepsTheRowsItHolds) {
    // 700 x 600 pixels of noise (more than the strip holds without looking
    // at the file size), which LZW hardly shrinks.
    RgbImage noise{700, 600, {}};
    uint32_t state = 7;
    noise.rgb.resize(700 * 600 * 3);
    for (uint8_t& byte : noise.rgb) byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    const std::string path = Magick(Ppm(noise, "noise.ppm") + " -colors 256", "noise.gif");
    const auto expected = test::DecodeWithImageMagick(path);
    ASSERT_TRUE(expected);
    const std::string bytes = test::ReadFileBytes(path);
    for (const size_t fraction : {2, 10}) {
        const std::string cutPath = folder_.File("cut.gif");
        test::WriteFileBytes(cutPath, bytes.substr(0, bytes.size() / fraction));
        const auto cut = test::LoadPicture(cutPath);
        ASSERT_TRUE(cut.ok()) << "cut at 1/" << fraction << ": " << cut.message();
        const RgbImage ours = test::CanvasToRgb(*cut.canvas);
        ASSERT_EQ(ours.width, 700);
        ASSERT_EQ(ours.height, 600);
        int32_t whole = 0;
        const size_t rowBytes = 700 * 3;
        while (whole < 600 && std::equal(ours.At(0, whole), ours.At(0, whole) + rowBytes, expected->At(0, whole))) {
            ++whole;
        }
        EXPECT_GE(whole, 600 / static_cast<int32_t>(fraction) / 2) << "cut at 1/" << fraction;
        EXPECT_LT(whole, 600) << "cut at 1/" << fraction;
    }
}

TEST_F(GifConformance, GiflibAndImageMagickReadOurGifs) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/gif2rgb");
    for (const RgbImage& image : {test::MakePalettePattern(37, 9, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456}),
                                  test::MakePalettePattern(1, 1, {0xABCDEF}), test::MakePattern(64, 33)}) {
        ImageCanvas canvas;
        ASSERT_TRUE(test::CanvasFromRgb(image, canvas));
        const std::string path = folder_.File("ours.gif");
        ASSERT_TRUE(WriteGif(path, canvas, 24, PaletteMethod::kMedianCut, DitherType::kSerpentine, QuietHost()).ok());
        // What our own reader sees is what we wrote; both tools must agree.
        const auto ours = test::LoadPicture(path);
        ASSERT_TRUE(ours.ok());
        const RgbImage written = test::CanvasToRgb(*ours.canvas);
        const auto magick = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(magick);
        EXPECT_EQ(*magick, written);
        ASSERT_TRUE(test::RunCommand("/usr/bin/gif2rgb -1 -o " + folder_.File("giflib.rgb") + " " + path));
        const std::string raw = test::ReadFileBytes(folder_.File("giflib.rgb"));
        EXPECT_EQ(raw, std::string(written.rgb.begin(), written.rgb.end()));
        if (image.width < 64) {
            EXPECT_EQ(written, image) << "pictures of few colours keep them exactly";
        }
    }
}

}  // namespace
}  // namespace marbleye
