// Targa, PCX, SGI and Sun raster files made by netpbm and ImageMagick load as
// netpbm decodes them, and our Targa, PCX, SGI, Sun raster, PPM and PGM files
// are read back exactly by netpbm and ImageMagick.
#include <gtest/gtest.h>

#include <algorithm>

#include "formats/classic/Netpbm.h"
#include "formats/classic/Pcx.h"
#include "formats/classic/Sgi.h"
#include "formats/classic/SunRaster.h"
#include "formats/classic/Tga.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

using test::RgbImage;

class ClassicFormats : public ::testing::Test {
protected:
    void SetUp() override {
        MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
        MARBLEYE_REQUIRE_TOOL("/usr/bin/tgatoppm");
    }
    std::optional<RgbImage> Netpbm(const std::string& command) { return test::FromPnm(test::RunCommand(command).value_or("")); }

    // Makes a file with another program's command and expects our reader to
    // see what netpbm's decoder (a command taking the file's path) sees.
    void ExpectLikeNetpbm(const std::string& make, const std::string& name, const std::string& decoder) {
        const std::string path = folder_.File(name);
        ASSERT_TRUE(test::RunCommand(make + " > " + path)) << name;
        const auto expected = Netpbm(decoder + " " + path);
        ASSERT_TRUE(expected) << name;
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << name << ": " << test::FirstDifference(*expected, ours);
    }
    test::TempFolder folder_;
};

TEST_F(ClassicFormats, TargaFilesOfOtherProgramsLoadAsNetpbmDecodesThem) {
    const std::string ppm = folder_.File("source.ppm");
    test::WriteFileBytes(ppm, test::ToPpm(test::MakePattern(37, 21)));
    const std::string grey = folder_.File("grey.pgm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + ppm + " > " + grey));
    const std::string few = folder_.File("few.ppm");
    test::WriteFileBytes(few, test::ToPpm(test::MakePalettePattern(23, 9, {0xFF0000, 0x00FF00, 0x0000FF, 0x808080})));
    const std::vector<std::pair<std::string, std::string>> makers = {
        {"/usr/bin/ppmtotga -rgb -norle " + ppm, "netpbm-raw.tga"},
        {"/usr/bin/ppmtotga -rgb " + ppm, "netpbm-rle.tga"},
        {"/usr/bin/ppmtotga -mono " + grey, "netpbm-grey-rle.tga"},
        {"/usr/bin/ppmtotga -mono -norle " + grey, "netpbm-grey.tga"},
        {"/usr/bin/ppmtotga -cmap " + few, "netpbm-cmap-rle.tga"},
        {"/usr/bin/ppmtotga -cmap -norle " + few, "netpbm-cmap.tga"},
        {std::string(test::kImageMagickConvert) + " " + ppm + " TGA:-", "magick-raw.tga"},
        {std::string(test::kImageMagickConvert) + " " + ppm + " -compress RLE TGA:-", "magick-rle.tga"},
    };
    for (const auto& [command, name] : makers) ExpectLikeNetpbm(command, name, "/usr/bin/tgatoppm");
}

TEST_F(ClassicFormats, PcxFilesOfOtherProgramsLoadAsTheyDecodeThem) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/pcxtoppm");
    const std::string ppm = folder_.File("source.ppm");
    test::WriteFileBytes(ppm, test::ToPpm(test::MakePattern(37, 21)));
    const std::string few = folder_.File("few.ppm");
    test::WriteFileBytes(few, test::ToPpm(test::MakePalettePattern(23, 9, {0xFF0000, 0x00FF00, 0x0000FF, 0x808080,
                                                                          0x102030, 0xABCDEF})));
    const std::string mono = folder_.File("mono.pbm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + few + " | /usr/bin/pgmtopbm > " + mono));
    const std::vector<std::pair<std::string, std::string>> makers = {
        {"/usr/bin/ppmtopcx " + ppm, "netpbm-24.pcx"},
        {"/usr/bin/ppmtopcx -8bit " + few, "netpbm-8.pcx"},
        {"/usr/bin/ppmtopcx " + few, "netpbm-planes.pcx"},
        {"/usr/bin/ppmtopcx " + mono, "netpbm-mono.pcx"},
        {std::string(test::kImageMagickConvert) + " " + ppm + " PCX:-", "magick-24.pcx"},
        {std::string(test::kImageMagickConvert) + " " + few + " -type Palette PCX:-", "magick-8.pcx"},
    };
    for (const auto& [command, name] : makers) ExpectLikeNetpbm(command, name, "/usr/bin/pcxtoppm");
}

TEST_F(ClassicFormats, SunRasterFilesOfOtherProgramsLoadAsNetpbmDecodesThem) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/rasttopnm");
    for (int width : {37, 38}) {  // an odd width needs padding at 24 bits
        const std::string ppm = folder_.File("source.ppm");
        test::WriteFileBytes(ppm, test::ToPpm(test::MakePattern(width, 13)));
        const std::string few = folder_.File("few.ppm");
        test::WriteFileBytes(few, test::ToPpm(test::MakePalettePattern(width, 9, {0xFF0000, 0x808080, 0x0000FF})));
        for (const auto& [command, name] : std::vector<std::pair<std::string, std::string>>{
                 {"/usr/bin/pnmtorast " + ppm, "netpbm.ras"},
                 {"/usr/bin/pnmtorast -rle " + ppm, "netpbm-rle.ras"},
                 {"/usr/bin/pnmtorast " + few, "netpbm-mapped.ras"},
                 {"/usr/bin/pnmtorast -rle " + few, "netpbm-mapped-rle.ras"},
                 {std::string(test::kImageMagickConvert) + " " + ppm + " SUN:-", "magick.ras"}}) {
            ExpectLikeNetpbm(command, std::to_string(width) + "-" + name, "/usr/bin/rasttopnm");
        }
    }
}

TEST_F(ClassicFormats, SgiFilesOfOtherProgramsLoadAsNetpbmDecodesThem) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/sgitopnm");
    const std::string ppm = folder_.File("source.ppm");
    test::WriteFileBytes(ppm, test::ToPpm(test::MakePattern(37, 13)));
    const std::string grey = folder_.File("grey.pgm");
    ASSERT_TRUE(test::RunCommand("/usr/bin/ppmtopgm " + ppm + " > " + grey));
    for (const auto& [command, name] : std::vector<std::pair<std::string, std::string>>{
             {"/usr/bin/pnmtosgi -verbatim " + ppm, "netpbm.sgi"},
             {"/usr/bin/pnmtosgi -rle " + ppm, "netpbm-rle.sgi"},
             {"/usr/bin/pnmtosgi -rle " + grey, "netpbm-grey.sgi"},
             {std::string(test::kImageMagickConvert) + " " + ppm + " SGI:-", "magick.sgi"},
             {std::string(test::kImageMagickConvert) + " " + ppm + " -alpha set SGI:-", "magick-alpha.sgi"}}) {
        const std::string path = folder_.File(name);
        ASSERT_TRUE(test::RunCommand(command + " > " + path)) << name;
        const auto expected = name == "magick-alpha.sgi" ? test::FromPnm(test::ReadFileBytes(ppm))
                                                         : Netpbm("/usr/bin/sgitopnm " + path);
        ASSERT_TRUE(expected) << name;
        const auto picture = test::LoadPicture(path);
        ASSERT_TRUE(picture.ok()) << name << ": " << picture.message();
        const RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << name << ": " << test::FirstDifference(*expected, ours);
    }
}

// Noise, which no run-length coding shrinks: files of it cut at a fraction
// hold about that fraction of the rows.
RgbImage Noise(int32_t width, int32_t height) {
    RgbImage image{width, height, {}};
    uint32_t state = 7;
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (uint8_t& byte : image.rgb) byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    return image;
}

// The rows of a picture in the order its file stores them, one channel
// after another for planar files.
std::vector<std::vector<uint8_t>> RowsInFileOrder(const RgbImage& image, bool topFirst, bool planar) {
    std::vector<std::vector<uint8_t>> rows;
    for (int channel = 0; channel < (planar ? 3 : 1); ++channel) {
        for (int32_t i = 0; i < image.height; ++i) {
            const uint8_t* row = image.At(0, topFirst ? i : image.height - 1 - i);
            std::vector<uint8_t> bytes;
            for (int32_t x = 0; x < image.width * 3; ++x) {
                if (!planar || x % 3 == channel) bytes.push_back(row[x]);
            }
            rows.push_back(bytes);
        }
    }
    return rows;
}

// A file cut short shows the rows it holds as the whole file does, then at
// most one row it ends in, then black rows; at least `least` rows are whole.
void ExpectCutShort(const RgbImage& cut, const RgbImage& whole, bool topFirst, bool planar, size_t least,
                    const std::string& name) {
    ASSERT_EQ(cut.width, whole.width) << name;
    ASSERT_EQ(cut.height, whole.height) << name;
    const auto cutRows = RowsInFileOrder(cut, topFirst, planar), wholeRows = RowsInFileOrder(whole, topFirst, planar);
    size_t held = 0;
    while (held < cutRows.size() && cutRows[held] == wholeRows[held]) ++held;
    EXPECT_GE(held, least) << name;
    for (size_t i = held + 1; i < cutRows.size(); ++i) {
        ASSERT_EQ(std::count(cutRows[i].begin(), cutRows[i].end(), 0), static_cast<std::ptrdiff_t>(cutRows[i].size()))
            << name << ": row " << i << " in file order after " << held << " whole rows";
    }
}

TEST_F(ClassicFormats, FilesOfOtherProgramsCutShortStillLoad) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/ppmtopcx");
    // 700 x 600 pixels: more than any reader holds without looking at the file size.
    const RgbImage noise = Noise(700, 600);
    const std::string ppm = folder_.File("noise.ppm");
    test::WriteFileBytes(ppm, test::ToPpm(noise));
    struct Maker {
        std::string command, name;
        bool planar;
    };
    for (const Maker& maker : std::vector<Maker>{
             {"/usr/bin/ppmtotga -rgb -norle " + ppm, "noise.tga", false},
             {"/usr/bin/ppmtotga -rgb " + ppm, "noise-rle.tga", false},
             {"/usr/bin/ppmtopcx " + ppm, "noise.pcx", false},
             {"/usr/bin/pnmtorast -standard " + ppm, "noise.ras", false},
             {"/usr/bin/pnmtorast -rle " + ppm, "noise-rle.ras", false},
             {"/usr/bin/pnmtosgi -verbatim " + ppm, "noise.sgi", true},
             {"/usr/bin/pnmtosgi -rle " + ppm, "noise-rle.sgi", true},
         }) {
        const std::string path = folder_.File(maker.name);
        ASSERT_TRUE(test::RunCommand(maker.command + " > " + path)) << maker.name;
        const std::string bytes = test::ReadFileBytes(path);
        const auto whole = test::LoadPicture(path);
        ASSERT_TRUE(whole.ok()) << maker.name << ": " << whole.message();
        const RgbImage wholeRgb = test::CanvasToRgb(*whole.canvas);
        ASSERT_EQ(wholeRgb, noise) << maker.name;
        // Targa says where its first row goes; SGI stores the bottom row first.
        const bool isTarga = maker.name.find(".tga") != std::string::npos;
        const bool topFirst = isTarga ? (bytes[17] & 0x20) != 0 : !maker.planar;
        for (const size_t fraction : {2, 10}) {
            const std::string cutPath = folder_.File("cut-" + maker.name);
            test::WriteFileBytes(cutPath, bytes.substr(0, bytes.size() / fraction));
            const auto cut = test::LoadPicture(cutPath);
            ASSERT_TRUE(cut.ok()) << maker.name << " cut at 1/" << fraction << ": " << cut.message();
            const size_t rows = static_cast<size_t>(noise.height) * (maker.planar ? 3 : 1);
            ExpectCutShort(test::CanvasToRgb(*cut.canvas), wholeRgb, topFirst, maker.planar, rows / fraction / 2,
                           maker.name + " cut at 1/" + std::to_string(fraction));
        }
    }
}

TEST_F(ClassicFormats, NetpbmAndImageMagickReadOurFiles) {
    const RgbImage pattern = test::MakePattern(45, 17);
    ImageCanvas canvas;
    ASSERT_TRUE(test::CanvasFromRgb(pattern, canvas));
    for (bool runLength : {false, true}) {
        for (bool topDown : {false, true}) {
            const std::string path = folder_.File("ours.tga");
            ASSERT_TRUE(WriteTga(path, canvas, TgaWriteOptions{runLength, topDown}, QuietHost()).ok());
            const auto netpbm = Netpbm("/usr/bin/tgatoppm " + path);
            ASSERT_TRUE(netpbm);
            EXPECT_EQ(*netpbm, pattern) << "rle " << runLength << " top-down " << topDown;
            if (topDown) {  // ImageMagick agrees with the descriptor for top-down files
                const auto magick = test::DecodeWithImageMagick(path);
                ASSERT_TRUE(magick);
                EXPECT_EQ(*magick, pattern) << "rle " << runLength;
            }
        }
    }
    for (int32_t depth : {8, 24}) {
        const std::string path = folder_.File("ours.pcx");
        ASSERT_TRUE(WritePcx(path, canvas, depth, QuietHost()).ok());
        const auto ours = test::LoadPicture(path);
        ASSERT_TRUE(ours.ok());
        const RgbImage written = test::CanvasToRgb(*ours.canvas);
        if (depth == 24) {
            EXPECT_EQ(written, pattern);
        }
        EXPECT_EQ(Netpbm("/usr/bin/pcxtoppm " + path), written) << depth;
        EXPECT_EQ(test::DecodeWithImageMagick(path), written) << depth;
    }
    for (bool runLength : {false, true}) {
        const std::string path = folder_.File("ours.ras");
        ASSERT_TRUE(WriteSunRaster(path, canvas, runLength, QuietHost()).ok());
        EXPECT_EQ(Netpbm("/usr/bin/rasttopnm " + path), pattern) << runLength;
        // ImageMagick misreads byte-encoded files (netpbm's own included),
        // so it checks the plain ones.
        if (!runLength) {
            EXPECT_EQ(test::DecodeWithImageMagick(path), pattern);
        }
    }
    for (int32_t compression : {0, 1, 2}) {
        const std::string path = folder_.File("ours.sgi");
        ASSERT_TRUE(WriteSgi(path, canvas, compression, QuietHost()).ok());
        EXPECT_EQ(Netpbm("/usr/bin/sgitopnm " + path), pattern) << compression;
        EXPECT_EQ(test::DecodeWithImageMagick(path), pattern) << compression;
    }
    ASSERT_TRUE(WritePpm(folder_.File("ours.ppm"), canvas, QuietHost()).ok());
    EXPECT_EQ(Netpbm("/usr/bin/ppmtoppm < " + folder_.File("ours.ppm")), pattern);
    EXPECT_EQ(test::DecodeWithImageMagick(folder_.File("ours.ppm")), pattern);
    ASSERT_TRUE(WritePgm(folder_.File("ours.pgm"), canvas, QuietHost()).ok());
    const auto grey = Netpbm("/usr/bin/pgmtopgm < " + folder_.File("ours.pgm"));
    ASSERT_TRUE(grey);
    const uint8_t* p = pattern.At(10, 3);
    EXPECT_EQ(grey->At(10, 3)[0], (299 * p[0] + 587 * p[1] + 114 * p[2]) / 1000);
    EXPECT_EQ(test::DecodeWithImageMagick(folder_.File("ours.pgm")), grey);
}

}  // namespace
}  // namespace marbleye
