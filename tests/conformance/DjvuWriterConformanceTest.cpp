#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "formats/djvu/Djvu.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

constexpr const char* kC44 = "/usr/bin/c44";
constexpr const char* kDdjvu = "/usr/bin/ddjvu";
constexpr const char* kDjvudump = "/usr/bin/djvudump";

double Psnr(const test::RgbImage& expected, const test::RgbImage& actual) {
    EXPECT_EQ(expected.width, actual.width);
    EXPECT_EQ(expected.height, actual.height);
    if (expected.rgb.size() != actual.rgb.size()) return 0;
    double squares = 0;
    for (size_t i = 0; i < expected.rgb.size(); ++i) {
        const double difference = double(expected.rgb[i]) - double(actual.rgb[i]);
        squares += difference * difference;
    }
    if (squares == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 * double(expected.rgb.size()) / squares);
}

bool IsGrey(const test::RgbImage& picture) {
    for (size_t i = 0; i < picture.rgb.size(); i += 3) {
        if (picture.rgb[i] != picture.rgb[i + 1] || picture.rgb[i + 1] != picture.rgb[i + 2]) return false;
    }
    return true;
}

test::RgbImage Greyed(test::RgbImage picture) {
    for (size_t i = 0; i < picture.rgb.size(); i += 3) picture.rgb[i] = picture.rgb[i + 2] = picture.rgb[i + 1];
    return picture;
}

class DjvuWriterFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {kC44, kDdjvu, kDjvudump, test::kImageMagickConvert}) MARBLEYE_REQUIRE_TOOL(tool);
    }

    std::string Run(const std::string& command) {
        const auto output = test::RunCommand(command);
        EXPECT_TRUE(output) << command;
        return output.value_or("");
    }

    // A picture ImageMagick makes (from its built-in pictures or a
    // generator), as it decodes it.
    test::RgbImage Made(const std::string& arguments, const std::string& name) {
        const std::string path = folder_.File(name + ".ppm");
        Run(std::string(test::kImageMagickConvert) + " " + arguments + " -depth 8 " + test::Quoted(path));
        const auto picture = test::FromPnm(test::ReadFileBytes(path));
        EXPECT_TRUE(picture) << arguments;
        return picture.value_or(test::RgbImage{});
    }

    std::string WriteOurs(const test::RgbImage& picture, const std::string& name) {
        ImageCanvas canvas;
        EXPECT_TRUE(test::CanvasFromRgb(picture, canvas));
        const std::string path = folder_.File(name + ".djvu");
        const Status status = WriteDjvu(path, canvas, QuietHost());
        EXPECT_TRUE(status.ok()) << name << ": " << status.message();
        return path;
    }

    test::RgbImage Rendered(const std::string& path) {
        const std::string out = folder_.File("rendered.ppm");
        Run(std::string(kDdjvu) + " -format=ppm " + test::Quoted(path) + " " + test::Quoted(out));
        const auto picture = test::FromPnm(test::ReadFileBytes(out));
        EXPECT_TRUE(picture) << path;
        return picture.value_or(test::RgbImage{});
    }

    // The library's own encoder; grey pictures go in as PGM so that it codes
    // them with one component, as ours does.
    std::string Theirs(const test::RgbImage& picture, const std::string& name, const std::string& options) {
        std::string source = folder_.File(name + "-source.ppm");
        test::WriteFileBytes(source, test::ToPpm(picture));
        if (IsGrey(picture)) {
            const std::string grey = folder_.File(name + "-source.pgm");
            Run(std::string(test::kImageMagickConvert) + " " + test::Quoted(source) + " -colorspace gray " +
                test::Quoted(grey));
            source = grey;
        }
        const std::string path = folder_.File(name + "-c44.djvu");
        Run(std::string(kC44) + " " + options + " " + test::Quoted(source) + " " + test::Quoted(path));
        return path;
    }

    test::TempFolder folder_;
};

struct Sample {
    const char* name;
    const char* arguments;
    double lowestPsnr;  // against the picture itself
};

// Photos and graphics, colour and grey: the library's decoder reads our
// pages, as close to the picture as the library's own encoder gets at the
// same size, and our reader shows exactly what the library renders.
TEST_F(DjvuWriterFiles, TheLibraryDecodesOurPagesAsWellAsItsOwn) {
    const Sample samples[] = {
        {"rose", "rose:", 27},
        {"logo", "logo:", 35},
        {"gradient", "-size 257x131 gradient:red-blue", 44},
        {"grey", "logo: -colorspace gray -type truecolor", 41},
        {"plasma", "-seed 7 -size 301x199 plasma:fractal -blur 0x1", 33},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        const test::RgbImage picture = Made(sample.arguments, sample.name);
        const std::string ours = WriteOurs(picture, sample.name);
        const size_t ourSize = test::ReadFileBytes(ours).size();
        const test::RgbImage decoded = Rendered(ours);
        const double ourPsnr = Psnr(picture, decoded);
        EXPECT_GE(ourPsnr, sample.lowestPsnr);

        // Stopping at the first slice that reaches our size: slices are
        // coarse steps in small files, so it may take some more.
        const std::string theirs = Theirs(picture, sample.name, "-size " + std::to_string(ourSize));
        const size_t theirSize = test::ReadFileBytes(theirs).size();
        EXPECT_LE(theirSize, ourSize * 5 / 4);
        EXPECT_GE(theirSize, ourSize * 9 / 10);
        const double theirPsnr = Psnr(picture, Rendered(theirs));
        EXPECT_GE(ourPsnr, theirPsnr - 2) << ourSize << " bytes against " << theirSize;

        const test::LoadedPicture loaded = test::LoadPicture(ours);
        ASSERT_TRUE(loaded.ok()) << loaded.message();
        EXPECT_EQ(loaded.image.fileBitDepth, IsGrey(picture) ? 8 : 24);
        const test::RgbImage read = test::CanvasToRgb(*loaded.canvas);
        EXPECT_EQ(read, decoded) << test::FirstDifference(decoded, read);
    }
}

// Sizes that leave blocks mostly empty, and sides of one sample, where the
// transform has nothing to pair with: as close as the library's encoder with
// the same number of slices.
TEST_F(DjvuWriterFiles, OddSizesDecodeClosely) {
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {3, 517}, {517, 3}, {2, 2}, {33, 31}, {37, 29}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        for (const bool grey : {false, true}) {
            const test::RgbImage picture =
                grey ? Greyed(test::MakePattern(width, height)) : test::MakePattern(width, height);
            const std::string path = WriteOurs(picture, grey ? "grey" : "colour");
            const test::RgbImage decoded = Rendered(path);
            const double ourPsnr = Psnr(picture, decoded);
            // The pattern's saturated colours lie partly outside what the
            // chroma samples hold.
            EXPECT_GE(ourPsnr, grey ? 37 : 24) << grey;
            // The library's encoder cannot read PNM files as small as a few
            // pixels; where it can, we are as close as it.
            if (width * height >= 9) {
                const std::string theirs = Theirs(picture, grey ? "grey" : "colour", "-slice 74+15+10");
                EXPECT_GE(ourPsnr, Psnr(picture, Rendered(theirs)) - 0.5) << grey;
            }
            const test::LoadedPicture loaded = test::LoadPicture(path);
            ASSERT_TRUE(loaded.ok()) << loaded.message();
            EXPECT_EQ(test::CanvasToRgb(*loaded.canvas), decoded) << grey;
        }
    }
    // One flat pixel: the mean alone, within a step of the colour.
    test::RgbImage pixel{1, 1, {200, 30, 90}};
    const test::RgbImage decoded = Rendered(WriteOurs(pixel, "pixel"));
    ASSERT_EQ(decoded.rgb.size(), 3u);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(decoded.rgb[c], pixel.rgb[c], 3) << c;
}

TEST_F(DjvuWriterFiles, TheLibrarysDumpShowsOurStructure) {
    const std::string colour = WriteOurs(test::MakePattern(97, 61), "colour");
    const std::string dump = Run(std::string(kDjvudump) + " " + test::Quoted(colour));
    EXPECT_NE(dump.find("FORM:DJVU"), std::string::npos) << dump;
    EXPECT_NE(dump.find("INFO [10]"), std::string::npos) << dump;
    EXPECT_NE(dump.find("DjVu 97x61, v24, 100 dpi, gamma=2.2"), std::string::npos) << dump;
    EXPECT_NE(dump.find("IW4 data #1, 74 slices, v1.2 (color), 97x61"), std::string::npos) << dump;
    EXPECT_NE(dump.find("IW4 data #2, 15 slices"), std::string::npos) << dump;
    EXPECT_NE(dump.find("IW4 data #3, 10 slices"), std::string::npos) << dump;

    const std::string grey = WriteOurs(Greyed(test::MakePattern(40, 3)), "grey");
    const std::string greyDump = Run(std::string(kDjvudump) + " " + test::Quoted(grey));
    EXPECT_NE(greyDump.find("IW4 data #1, 74 slices, v1.2 (b&w), 40x3"), std::string::npos) << greyDump;
}

TEST_F(DjvuWriterFiles, TheCommandLineToolConvertsToDjvu) {
    const std::string png = folder_.File("rose.png");
    Run(std::string(test::kImageMagickConvert) + " rose: " + test::Quoted(png));
    const std::string djvu = folder_.File("rose.djvu");
    Run(std::string(MARBLEYE_CLI_PATH) + " convert " + test::Quoted(png) + " " + test::Quoted(djvu));
    const test::RgbImage picture = Made("rose:", "rose");
    EXPECT_GE(Psnr(picture, Rendered(djvu)), 27);
}

}  // namespace
}  // namespace marbleye
