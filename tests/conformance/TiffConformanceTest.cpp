// TIFF files made by libtiff's tools, netpbm and ImageMagick load as
// ImageMagick decodes them, on both the whole-picture and the row path; our
// TIFF files in every compression are read back by libtiff's tools and
// ImageMagick.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "formats/tiff/Tiff.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

// The largest difference of one sample between pictures of one size.
int WorstDifference(const RgbImage& a, const RgbImage& b) {
    int worst = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) worst = std::max(worst, std::abs(a.rgb[i] - b.rgb[i]));
    return worst;
}

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
        EXPECT_LE(WorstDifference(ours, *expected), tolerance) << name << ": " << test::FirstDifference(*expected, ours);
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

RgbImage Mirrored(RgbImage image) {
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width / 2; ++x) {
            uint8_t* left = image.rgb.data() + (static_cast<size_t>(y) * image.width + x) * 3;
            uint8_t* right = image.rgb.data() + (static_cast<size_t>(y) * image.width + image.width - 1 - x) * 3;
            std::swap_ranges(left, left + 3, right);
        }
    }
    return image;
}

RgbImage Flipped(const RgbImage& image) {
    RgbImage flipped = image;
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    for (int32_t y = 0; y < image.height; ++y) {
        std::copy_n(image.At(0, image.height - 1 - y), rowBytes, flipped.rgb.data() + y * rowBytes);
    }
    return flipped;
}

RgbImage Transposed(const RgbImage& image) {
    RgbImage transposed{image.height, image.width, std::vector<uint8_t>(image.rgb.size())};
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            std::copy_n(image.At(x, y), 3, transposed.rgb.data() + (static_cast<size_t>(x) * image.height + y) * 3);
        }
    }
    return transposed;
}

// A picture as its Orientation tag shows it: 2 mirrors it, 3 turns it half
// round, 4 flips it upside down, 5 exchanges rows and columns, 6 turns it a
// quarter clockwise, 7 exchanges rows and columns the other way round, 8
// turns it a quarter anticlockwise.
RgbImage AsShown(const RgbImage& stored, int orientation) {
    switch (orientation) {
        case 2: return Mirrored(stored);
        case 3: return Flipped(Mirrored(stored));
        case 4: return Flipped(stored);
        case 5: return Transposed(stored);
        case 6: return Mirrored(Transposed(stored));
        case 7: return Flipped(Mirrored(Transposed(stored)));
        case 8: return Flipped(Transposed(stored));
        default: return stored;
    }
}

// Red on the left, blue on the right, a green block in the first corner.
RgbImage KnownPicture(int32_t width, int32_t height) {
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = image.rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
            p[x < width / 2 ? 0 : 2] = 255;
            if (x < 5 && y < 3) p[0] = 0, p[1] = 255;
        }
    }
    return image;
}

class OrientedTiffs : public TiffFiles {
protected:
    // Makes the file with `command` ("{}" for its path), copies it with each
    // Orientation tag, and expects each copy to load as the stored picture
    // (ImageMagick's decoding of the untagged file) turned by the tag, through
    // the path the canvas depth names, within `tolerance` a sample.
    void ExpectEveryOrientation(std::string command, const std::string& name, int32_t canvasDepth,
                                int tolerance = 0) {
        MARBLEYE_REQUIRE_TOOL("/usr/bin/tiffset");
        const std::string base = folder_.File(name + ".tif");
        command.replace(command.find("{}"), 2, base);
        ASSERT_TRUE(test::RunCommand(command)) << command;
        const auto stored = test::DecodeWithImageMagick(base);
        ASSERT_TRUE(stored) << name;
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const std::string path = folder_.File(name + "-" + std::to_string(orientation) + ".tif");
            std::filesystem::copy_file(base, path, std::filesystem::copy_options::overwrite_existing);
            ASSERT_TRUE(test::RunCommand("/usr/bin/tiffset -s 274 " + std::to_string(orientation) + " " + path));
            const auto picture = test::LoadPicture(path);
            ASSERT_TRUE(picture.ok()) << name << " " << orientation << ": " << picture.message();
            EXPECT_EQ(picture.canvas->bitsPerPixel(), canvasDepth) << name << " " << orientation;
            const RgbImage expected = AsShown(*stored, orientation);
            const RgbImage ours = test::CanvasToRgb(*picture.canvas);
            ASSERT_EQ(ours.width, expected.width) << name << " " << orientation;
            ASSERT_EQ(ours.height, expected.height) << name << " " << orientation;
            EXPECT_LE(WorstDifference(ours, expected), tolerance)
                << name << " " << orientation << ": " << test::FirstDifference(expected, ours);
            EXPECT_EQ(picture.image.width, expected.width) << name << " " << orientation;
        }
    }
};

// ImageMagick shows each orientation of a picture whose content is known
// as the tag says; the turns the tests work out agree with it.
TEST_F(OrientedTiffs, ImageMagickAgreesWithTheTurnsOfAKnownPicture) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/tiffset");
    const std::string source = Source("known.ppm", KnownPicture(13, 8));
    const std::string base = folder_.File("known.tif");
    ASSERT_TRUE(test::RunCommand(std::string(test::kImageMagickConvert) + " " + source + " -compress None " + base));
    // Where the stored first corner shows, for each orientation: right?, bottom?
    const std::vector<std::pair<int, int>> greenCorners = {{0, 0}, {1, 0}, {1, 1}, {0, 1},
                                                           {0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::string path = folder_.File("known-" + std::to_string(orientation) + ".tif");
        std::filesystem::copy_file(base, path, std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(test::RunCommand("/usr/bin/tiffset -s 274 " + std::to_string(orientation) + " " + path));
        const auto shown = test::FromPnm(test::RunCommand(std::string(test::kImageMagickConvert) + " " + path +
                                                          " -auto-orient -depth 8 ppm:-").value_or(""));
        ASSERT_TRUE(shown) << orientation;
        EXPECT_EQ(shown->width, orientation >= 5 ? 8 : 13) << orientation;
        const auto [right, bottom] = greenCorners[orientation - 1];
        const uint8_t* corner = shown->At(right ? shown->width - 1 : 0, bottom ? shown->height - 1 : 0);
        EXPECT_EQ(std::vector<uint8_t>(corner, corner + 3), (std::vector<uint8_t>{0, 255, 0})) << orientation;
        const RgbImage expected = AsShown(KnownPicture(13, 8), orientation);
        EXPECT_EQ(*shown, expected) << orientation << ": " << test::FirstDifference(expected, *shown);
    }
}

TEST_F(OrientedTiffs, SmallPicturesAreTurnedByTheRgbaReader) {
    const std::string known = Source("known.ppm", KnownPicture(61, 37));
    const std::string magick = std::string(test::kImageMagickConvert) + " " + known;
    ExpectEveryOrientation(magick + " -compress None {}", "rgb", 32);
    ExpectEveryOrientation(magick + " -compress JPEG -quality 90 {}", "ycbcr-jpeg", 32);
    const std::string strips = folder_.File("strips.tif");
    ExpectEveryOrientation(magick + " -compress None " + strips + " && /usr/bin/tiffcp -t -w 16 -l 16 " + strips + " {}",
                           "tiled", 32);
    ExpectEveryOrientation(magick + " -colorspace CMYK {}", "cmyk", 32, 1);
}

// 1001 x 701 pixels: above the size the row reader starts at.
TEST_F(OrientedTiffs, LargePicturesAreTurnedRowByRowAtEveryDepth) {
    const std::string colour = Source("colour.ppm", test::MakePattern(1001, 701));
    const std::string gray = folder_.File("gray.pgm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + colour + " > " + gray));
    const std::string mono = folder_.File("mono.pbm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/pgmtopbm " + gray + " > " + mono));
    const std::string magick = std::string(test::kImageMagickConvert) + " ";
    ExpectEveryOrientation("/usr/bin/pnmtotiff -lzw " + colour + " > {}", "rgb", 24);
    ExpectEveryOrientation("/usr/bin/pnmtotiff " + gray + " > {}", "gray", 8);
    ExpectEveryOrientation("/usr/bin/pnmtotiff -g4 " + mono + " > {}", "mono", 1);
    ExpectEveryOrientation(magick + colour + " -colors 11 -type Palette -depth 4 {}", "palette4", 4);
    ExpectEveryOrientation(magick + colour + " -alpha set -channel A -evaluate set 100% +channel {}", "rgba", 32);
    // Separated pictures always go through the RGBA reader, which reads them in bands here.
    ExpectEveryOrientation(magick + colour + " -colorspace CMYK {}", "cmyk", 32, 1);
}

// CMYK pictures (separated, four samples of 8 bits, inks CMYK) show their
// colours at every size, made by ImageMagick and copied by tiffcp. The
// library's RGBA reader truncates (255 - ink) x (255 - black) / 255 where
// ImageMagick rounds: a step apart at most.
TEST_F(TiffFiles, CmykPicturesShowTheirColours) {
    for (const auto& [width, height] : std::vector<std::pair<int32_t, int32_t>>{{100, 70}, {1001, 701}}) {
        const std::string colour = Source("colour.ppm", test::MakePattern(width, height));
        const std::string cmyk = folder_.File("cmyk.tif");
        const std::string magick = std::string(test::kImageMagickConvert) + " " + colour;
        ExpectLikeImageMagick(magick + " -colorspace CMYK", "cmyk.tif", 32, 1);
        const std::string info = test::RunCommand("/usr/bin/tiffinfo " + cmyk + " 2>&1").value_or("");
        EXPECT_NE(info.find("Photometric Interpretation: separated"), std::string::npos) << info;
        ExpectLikeImageMagick("/usr/bin/tiffcp -c lzw " + cmyk, "cmyk-lzw.tif", 32, 1);
        ExpectLikeImageMagick("/usr/bin/tiffcp -c zip -r 7 " + cmyk, "cmyk-zip.tif", 32, 1);
    }
}

// Group 4 codes a white row in one bit: a white page of 8000 x 8000 (8 MB
// of rows) takes about 1000 bytes and must load.
TEST_F(TiffFiles, AWhiteFaxPageOfTheLeastCostLoads) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/pbmmake");
    const std::string path = folder_.File("white.tif");
    ASSERT_TRUE(test::RunCommand("/usr/bin/pbmmake -white 8000 8000 | /usr/bin/pnmtotiff -g4 -rowsperstrip 8000 > " +
                                 path));
    ASSERT_LT(test::ReadFileBytes(path).size(), 8000u / 8 * 2);
    const auto picture = test::LoadPicture(path);
    ASSERT_TRUE(picture.ok()) << picture.message();
    EXPECT_EQ(picture.canvas->bitsPerPixel(), 1);
    EXPECT_EQ(test::PixelOf(picture, 7999, 7999), (std::array<int, 3>{255, 255, 255}));
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
