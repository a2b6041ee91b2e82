// The command line tool as a user runs it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <vector>

#include "support/BmpBuilder.h"
#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

struct CliRun {
    int exitCode;
    std::string output;  // stdout and stderr together
};

CliRun RunCli(const std::string& arguments) {
    const std::string command = std::string(MARBLEYE_CLI_PATH) + " " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    CliRun run{-1, ""};
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        test::BmpBuilder bmp;
        bmp.width = 3;
        bmp.height = 2;
        bmp.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
        input_ = folder_.File("in.bmp");
        test::WriteFileBytes(input_, bmp.Bytes());
    }
    test::TempFolder folder_;
    std::string input_;
};

TEST_F(Cli, InfoDescribesAPicture) {
    const CliRun run = RunCli("info " + input_);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* line : {"format id: 0", "width: 3", "height: 2", "file bit depth: 24", "canvas depth: 24",
                             "load time: "}) {
        EXPECT_NE(run.output.find(line), std::string::npos) << line << " in\n" << run.output;
    }
}

TEST_F(Cli, ConvertWritesABitmap) {
    const std::string output = folder_.File("out.BMP");
    const CliRun run = RunCli("convert " + input_ + " " + output);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const auto back = test::LoadPicture(output);
    const auto original = test::LoadPicture(input_);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(test::CanvasToRgb(*back.canvas), test::CanvasToRgb(*original.canvas));
}

// One file of each native format read by code of our own, converted by the
// tool to PPM: the same picture as the reader gives through the dispatcher,
// with the format's code in "info".
TEST_F(Cli, ConvertsEveryNativeFormat) {
    const std::filesystem::path seeds = std::filesystem::path(MARBLEYE_SOURCE_DIR) / "fuzz" / "corpus";
    const std::vector<std::pair<std::string, int>> files = {
        {"bilevel/small.mac", 21},       {"bilevel/coded.msp", 18},          {"bilevel/raw.pbm", 26},
        {"bilevel/netpbm.wbmp", 39},     {"fits/sixteen.fits", 12},          {"iff/netpbm-ham6.iff", 15},
        {"psd/rgb-rle.psd", 30},         {"pic/softimage-three-codings.pic", 29}, {"pic/pictor-ega.pic", 29},
        {"legacy/runs.cut", 1},          {"legacy/short.hrz", 14},           {"legacy/colour.img", 16},
        {"legacy/preview.zbr", 40},      {"pcd/base-three-row-pairs.pcd", 31}, {"pix/colour-long-runs.pix", 33},
        {"ico/two-images.ico", 22},
    };
    for (const auto& [name, formatId] : files) {
        const std::string input = (seeds / name).string();
        const CliRun info = RunCli("info " + input);
        EXPECT_EQ(info.exitCode, 0) << name << ": " << info.output;
        EXPECT_NE(info.output.find("format id: " + std::to_string(formatId) + " ("), std::string::npos)
            << name << ": " << info.output;
        const std::string output = folder_.File("converted.ppm");
        const CliRun run = RunCli("convert " + input + " " + output);
        ASSERT_EQ(run.exitCode, 0) << name << ": " << run.output;
        const auto converted = test::LoadPicture(output);
        const auto original = test::LoadPicture(input);
        ASSERT_TRUE(converted.ok() && original.ok()) << name;
        EXPECT_EQ(test::CanvasToRgb(*converted.canvas), test::CanvasToRgb(*original.canvas)) << name;
    }
}

TEST_F(Cli, BrokenFilesGiveTheReadersMessageAndFail) {
    const std::string bytes = test::ReadFileBytes(input_);
    const std::string broken = folder_.File("broken.bmp");
    test::WriteFileBytes(broken, "BA" + bytes.substr(2));
    CliRun run = RunCli("info " + broken);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("broken.bmp: is not a valid BitmapFile!"), std::string::npos) << run.output;

    const std::string truncated = folder_.File("short.bmp");
    test::WriteFileBytes(truncated, bytes.substr(0, 20));
    run = RunCli("convert " + truncated + " " + folder_.File("never.bmp"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("short.bmp: is not a valid BitmapFile!"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(folder_.File("never.bmp")));
}

TEST_F(Cli, UsageErrors) {
    EXPECT_EQ(RunCli("").exitCode, 2);
    EXPECT_EQ(RunCli("frobnicate").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + input_).exitCode, 2);
    const CliRun noWriter = RunCli("convert " + input_ + " " + folder_.File("out.xyz"));
    EXPECT_EQ(noWriter.exitCode, 2);
    const CliRun help = RunCli("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word : {"info", "convert", "--settings", "Exit codes"}) {
        EXPECT_NE(help.output.find(word), std::string::npos) << word;
    }
}

TEST_F(Cli, ColourReductionsBeforeWriting) {
    const std::string photo = folder_.File("photo.bmp");
    test::WriteFileBytes(photo, test::ReadFileBytes(std::string(MARBLEYE_SOURCE_DIR) + "/samples/marbleye-sample.bmp"));
    for (const char* palette : {"median", "popularity", "default", "neural-best", "neural-medium", "neural-worst"}) {
        for (const char* dither : {"none", "ordered", "jitter", "serpentine"}) {
            const std::string out = folder_.File(std::string(palette) + "-" + dither + ".bmp");
            const CliRun run =
                RunCli("convert " + photo + " " + out + " --colors 256 --palette " + palette + " --dither " + dither);
            ASSERT_EQ(run.exitCode, 0) << palette << "/" << dither << ": " << run.output;
            const auto picture = test::LoadPicture(out);
            ASSERT_TRUE(picture.ok());
            EXPECT_EQ(picture.image.fileBitDepth, 8) << palette << "/" << dither;
            const std::string again = folder_.File("again.bmp");
            RunCli("convert " + photo + " " + again + " --colors 256 --palette " + palette + " --dither " + dither);
            EXPECT_EQ(test::ReadFileBytes(again), test::ReadFileBytes(out)) << "repeats exactly";
        }
    }
    const std::string sixteen = folder_.File("sixteen.bmp");
    ASSERT_EQ(RunCli("convert " + photo + " " + sixteen + " --colors 16").exitCode, 0);
    const auto reduced = test::LoadPicture(sixteen);
    std::set<std::vector<uint8_t>> colours;
    const test::RgbImage rgb = test::CanvasToRgb(*reduced.canvas);
    for (size_t i = 0; i < rgb.rgb.size(); i += 3) colours.insert({rgb.rgb[i], rgb.rgb[i + 1], rgb.rgb[i + 2]});
    EXPECT_LE(colours.size(), 8u);
    for (const char* dither : {"none", "ordered", "floyd-steinberg"}) {
        const std::string high = folder_.File(std::string("high-") + dither + ".bmp");
        ASSERT_EQ(RunCli("convert " + photo + " " + high + " --colors high --dither " + dither).exitCode, 0) << dither;
        EXPECT_EQ(test::LoadPicture(high).image.fileBitDepth, 24) << "written as a 24-bit file";
    }
    EXPECT_EQ(RunCli("convert " + photo + " " + sixteen + " --colors 7").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + photo + " " + sixteen + " --colors 256 --dither wobbly").exitCode, 2);
}

// The Version 2 body is one zlib stream of the bottom-up rows: Python's zlib
// module inflates it to the pixel rows of the same picture as a bitmap.
TEST_F(Cli, OwnFormatVersion2IsAPlainZlibStream) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/python3");
    const std::string vkp = folder_.File("p.vkp"), bmp = folder_.File("p.bmp");
    ASSERT_EQ(RunCli("convert " + input_ + " " + vkp).exitCode, 0);
    ASSERT_EQ(RunCli("convert " + input_ + " " + bmp).exitCode, 0);
    const auto same = test::RunCommand("/usr/bin/python3 -c \"import sys, zlib; v = open(sys.argv[1], 'rb').read(); "
                                       "b = open(sys.argv[2], 'rb').read(); print(zlib.decompress(v[15:]) == b[54:])\" " +
                                       vkp + " " + bmp);
    ASSERT_TRUE(same);
    EXPECT_EQ(*same, "True\n");
}

TEST_F(Cli, ASettingsFileIsAccepted) {
    const std::string settings = folder_.File("Marbleye.ini");
    test::WriteFileBytes(settings, "[SaveAs]\r\nVKPVersion=1\r\nVKPRLE=0\r\n");
    const CliRun run = RunCli("convert " + input_ + " " + folder_.File("out.vkp") + " --settings " + settings);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(test::ReadFileBytes(folder_.File("out.vkp")).substr(0, 17), "Vesk 1 3 2 0 0 0 ") << "the settings chose the writer's options";
}

TEST_F(Cli, WriterOptionsOfTheLibraryFormatsComeFromSet) {
    MARBLEYE_REQUIRE_TOOL("/usr/bin/djpeg");
    MARBLEYE_REQUIRE_TOOL("/usr/bin/tiffinfo");
    const std::string source = folder_.File("source.ppm");
    test::WriteFileBytes(source, test::ToPpm(test::MakePattern(40, 30)));
    const std::string gray = folder_.File("gray.jpg");
    CliRun run = RunCli("convert " + source + " " + gray + " --set JPGGrayScale=0 --set JPGProgressive=1");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(test::RunCommand("/usr/bin/djpeg " + gray).value_or("").substr(0, 2), "P5");
    EXPECT_NE(test::ReadFileBytes(gray).find("\xFF\xC2"), std::string::npos) << "progressive frame marker";
    EXPECT_NE(RunCli("info " + gray).output.find("file bit depth: 8"), std::string::npos);

    const std::string tiff = folder_.File("out.tif");
    ASSERT_EQ(RunCli("convert " + gray + " " + tiff + " --set TIFCompression=1").exitCode, 0);
    EXPECT_NE(test::RunCommand("/usr/bin/tiffinfo " + tiff + " 2>&1").value_or("").find("PackBits"), std::string::npos);
    const std::string png = folder_.File("out.png");
    ASSERT_EQ(RunCli("convert " + source + " " + png + " --set PNGInterlace=1").exitCode, 0);
    EXPECT_EQ(test::ReadFileBytes(png)[28], 1) << "Adam7";
    const CliRun info = RunCli("info " + png);
    EXPECT_NE(info.output.find("file bit depth: 24"), std::string::npos) << info.output;

    const CliRun thumbnail = RunCli("info " + gray + " --thumbnail 4");
    EXPECT_NE(thumbnail.output.find("decoded size: 5x4"), std::string::npos) << thumbnail.output;
    EXPECT_EQ(RunCli("info " + gray + " --thumbnail 0").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + source + " " + png + " --set NoSuchKey=1").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + source + " " + png + " --set JPGQuality").exitCode, 2);
}

}  // namespace
}  // namespace marbleye
