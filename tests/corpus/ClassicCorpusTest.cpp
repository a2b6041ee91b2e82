// The PCX, Sun raster and SGI files of the corpora: each loads or gives the
// reader's message, the outcome stays as recorded in the format's golden
// file, and files with a reference picture match it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "support/ExternalTools.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kRead = fs::path(MARBLEYE_CORPORA_DIR) / "kimageformats" / "autotests" / "read";

std::vector<fs::path> FilesIn(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == extension) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void CheckFolder(const std::string& format) {
    const std::vector<fs::path> files = FilesIn(kRead / format, "." + format);
    if (files.empty()) GTEST_SKIP() << "no corpus at " << kRead / format;
    const fs::path golden = fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / (format + ".golden");
    std::string outcomes;
    for (const fs::path& file : files) {
        const auto picture = test::LoadPicture(file.string());
        outcomes += test::OutcomeLine(file.filename().string(), picture);
        if (!picture.ok()) continue;
        fs::path reference = file;
        reference.replace_extension(".png");
        if (fs::exists(reference) && test::HaveTool(test::kImageMagickConvert)) {
            const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
            const auto expected = test::DecodeWithImageMagick(reference.string());
            ASSERT_TRUE(expected);
            EXPECT_EQ(rgb, *expected) << file.filename() << ": " << test::FirstDifference(*expected, rgb);
        }
    }
    test::ExpectGolden(golden.string(), outcomes);
}

TEST(ClassicCorpus, PcxFiles) { CheckFolder("pcx"); }

TEST(ClassicCorpus, SunRasterFiles) { CheckFolder("ras"); }

TEST(ClassicCorpus, SgiFiles) { CheckFolder("rgb"); }

}  // namespace
}  // namespace marbleye
