// The icon of the OpenImageIO test images: its outcome stays as recorded in
// the golden file, and what is shown is its 32 x 32, 32-bit image (the one
// the system picks at the display's depth, the ninth) drawn on white as
// ImageMagick draws it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/ExternalTools.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kIcons = fs::path(MARBLEYE_CORPORA_DIR) / "oiio" / "ico";

TEST(IconCorpus, OutcomesAndTheChosenImage) {
    std::vector<fs::path> files;
    if (fs::exists(kIcons)) {
        for (const auto& entry : fs::directory_iterator(kIcons)) {
            if (entry.path().extension() == ".ico") files.push_back(entry.path());
        }
    }
    if (files.empty()) GTEST_SKIP() << "no corpus at " << kIcons;
    std::sort(files.begin(), files.end());
    std::string outcomes;
    for (const fs::path& file : files)
        outcomes += test::OutcomeLine(file.filename().string(), test::LoadPicture(file.string()));
    test::ExpectGolden((fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "ico.golden").string(), outcomes);

    const fs::path icon = kIcons / "oiio.ico";
    if (!fs::exists(icon) || !test::HaveTool(test::kImageMagickConvert)) return;
    const auto expected =
        test::FromPnm(test::RunCommand(std::string(test::kImageMagickConvert) + " " +
                                       test::Quoted(icon.string() + "[8]") + " -background white -flatten ppm:-")
                          .value_or(""));
    ASSERT_TRUE(expected);
    const auto picture = test::LoadPicture(icon.string());
    ASSERT_TRUE(picture.ok()) << picture.message();
    const test::RgbImage ours = test::CanvasToRgb(*picture.canvas);
    EXPECT_EQ(ours, *expected) << test::FirstDifference(*expected, ours);
}

}  // namespace
}  // namespace marbleye
