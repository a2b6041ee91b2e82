// TIFF files made by libtiff's tools, netpbm and ImageMagick load as
// ImageMagick decodes them, on both the whole-picture and the row path; our
// TIFF files in every compression are read back by libtiff's tools and
// ImageMagick.
#include <gtest/gtest.h>

#include "formats/tiff/Tiff.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

class TiffFiles : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        MARBLEYE_REQUIRE_TOOL("/usr/bin/tiffcp");
        MARBLEYE_REQUIRE_TOOL("/usr/bin/pnmtotiff");
    }
    std::string Source(const std::string& name, const RgbImage& image) {
        const std::string path = folder_.File(name);
        test::WriteFileBytes(path, test::ToPpm(image));
        return path;
    }
    // Runs the command that makes `name` (its output file is the last
    // argument, or "{}") and loads it; the canvas depth tells which path the
    // reader took. Colour maps of 16-bit entries may come out one step apart:
    // the library's RGBA reader and ImageMagick round them differently.
    void ExpectLikeImageMagick(std::string command, const std::string& name, int32_t canvasDepth,
                               int tolerance = 0) {
        const std::string path = folder_.File(name);
        const size_t placeholder = command.find("{}");
        command = placeholder == std::string::npos ? command + " " + path : command.replace(placeholder, 2, path);
        ASSERT_TRUE(test::RunCommand(command)) << command;
        const auto expected = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(expected) << name;
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        EXPECT_EQ(picture.canvas->bitsPerPixel(), canvasDepth) << name;
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        ASSERT_EQ(ours.rgb.size(), expected->rgb.size()) << name;
        int worst = 0;
        for (size_t i = 0; i < ours.rgb.size(); ++i) worst = std::max(worst, std::abs(ours.rgb[i] - expected->rgb[i]));
        EXPECT_LE(worst, tolerance) << name << ": " << test::FirstDifference(*expected, ours);
    }
    test::TempFolder folder_;
};

TEST_F(TiffFiles, SmallPicturesGoThroughTheRgbaReader) {
    const std::string colour = Source("colour.ppm", test::MakePattern(100, 100));
    const std::string magick = std::string(test::kImageMagickConvert) + " " + colour;
    for (const auto& [options, name] : std::vector<std::pair<std::string, std::string>>{
             {"-compress None", "none.tif"},
             {"-compress RLE", "packbits.tif"},
             {"-compress LZW", "lzw.tif"},
             {"-compress Zip", "zip.tif"},
             {"-define tiff:tile-geometry=32x32", "tiled.tif"},
             {"-interlace Plane", "planar.tif"},
             {"-depth 16", "sixteen.tif"},
                          {"-colorspace Gray", "gray.tif"},
             {"-alpha set -channel A -evaluate set 100% +channel", "rgba.tif"},
         }) {
        ExpectLikeImageMagick(magick + " " + options, name, 32);
    }
    ExpectLikeImageMagick(magick + " -colors 16 -type Palette", "palette.tif", 32, 1);
    ExpectLikeImageMagick(magick + " -compress JPEG", "jpeg.tif", 32);
    const std::string tiffcp = "/usr/bin/tiffcp " + folder_.File("none.tif");
    ExpectLikeImageMagick(tiffcp + " -c lzw:2", "tiffcp-predictor.tif", 32);
    ExpectLikeImageMagick(tiffcp + " -t -w 48 -l 48", "tiffcp-tiles.tif", 32);
    const std::string mono = folder_.File("mono.pbm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + colour + " | /usr/bin/pgmtopbm > " + mono));
    ExpectLikeImageMagick("/usr/bin/pnmtotiff -miniswhite -g4 " + mono + " > {}", "g4.tif", 32);
}

TEST_F(TiffFiles, LargePicturesAreReadRowByRowAtTheirOwnDepth) {
    // 800 x 800 pixels: 20,480,000 bits at 32 bits a pixel, the first size
    // the row reader takes.
    const std::string colour = Source("colour.ppm", test::MakePattern(800, 800));
    const std::string few = Source("few.ppm", test::MakePalettePattern(800, 800, {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x102030}));
    const std::string gray = folder_.File("gray.pgm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + colour + " > " + gray));
    const std::string mono = folder_.File("mono.pbm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/pgmtopbm " + gray + " > " + mono));
    const std::string pnmtotiff = "/usr/bin/pnmtotiff ";
    const std::string magick = std::string(test::kImageMagickConvert) + " ";
    ExpectLikeImageMagick(pnmtotiff + "-lzw " + colour + " > {}", "rgb.tif", 24);
    ExpectLikeImageMagick(pnmtotiff + "-packbits " + gray + " > {}", "gray.tif", 8);
    ExpectLikeImageMagick(pnmtotiff + "-miniswhite " + gray + " > {}", "gray-white-is-zero.tif", 8);
    ExpectLikeImageMagick(pnmtotiff + "-minisblack " + mono + " > {}", "mono.tif", 1);
    ExpectLikeImageMagick(pnmtotiff + "-miniswhite " + mono + " > {}", "mono-white-is-zero.tif", 1);
    ExpectLikeImageMagick(pnmtotiff + few + " > {}", "palette.tif", 8, 1);
    ExpectLikeImageMagick(magick + few + " -colors 5 -type Palette -depth 4", "palette4.tif", 4, 1);
    ExpectLikeImageMagick(magick + colour + " -alpha set -channel A -evaluate set 100% +channel", "rgba.tif", 32);
    ExpectLikeImageMagick(magick + colour + " -compress JPEG", "jpeg.tif", 24);
    // What the row reader does not take goes through the RGBA reader.
    ExpectLikeImageMagick(magick + colour + " -define tiff:tile-geometry=64x64", "tiled.tif", 32);
    ExpectLikeImageMagick(magick + colour + " -depth 16", "sixteen.tif", 32);
    ExpectLikeImageMagick(magick + gray + " -depth 2", "gray2.tif", 32);
}

TEST_F(TiffFiles, OurFilesInEveryCompressionAreReadBackByLibtiffAndImageMagick) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/tiffinfo");
    MARBLEYE_REQUIRE_TOOL("/usr/bin/tiff2rgba");
    const RgbImage source = test::MakePattern(61, 37);
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(source, canvas));
    for (const auto& [setting, scheme] : std::vector<std::pair<int32_t, std::string>>{
             {0, "None"}, {1, "PackBits"}, {2, "Deflate"}, {4, "LZW"}, {3, "JPEG"}, {7, "JPEG"}}) {
        const std::string path = folder_.File("ours-" + std::to_string(setting) + ".tif");
        ASSERT_TRUE(WriteTiff(path, canvas, setting, QuietHost()));
        const std::string info = test::RunCommand("/usr/bin/tiffinfo " + path + " 2>&1").value_or("");
        EXPECT_NE(info.find("Compression Scheme: " + scheme), std::string::npos) << info;
        EXPECT_NE(info.find("Photometric Interpretation: RGB color"), std::string::npos) << info;
        const std::string rgba = folder_.File("back.tif");
        ASSERT_TRUE(test::RunCommand("/usr/bin/tiff2rgba -c none " + path + " " + rgba));
        const auto viaLibtiff = test::DecodeWithImageMagick(rgba);
        const auto viaMagick = test::DecodeWithImageMagick(path);
        ASSERT_TRUE(viaLibtiff && viaMagick);
        if (scheme == "JPEG") {
            EXPECT_EQ(*viaLibtiff, *viaMagick);
            continue;  // lossy: the exact pixels are checked for the others
        }
        EXPECT_EQ(*viaLibtiff, source) << scheme << ": " << test::FirstDifference(source, *viaLibtiff);
        EXPECT_EQ(*viaMagick, source) << scheme << ": " << test::FirstDifference(source, *viaMagick);
    }
}

}  // namespace
}  // namespace marbleye
