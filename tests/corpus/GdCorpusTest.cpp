// The GD and GD2 files of libgd's own tests: each loads or gives the reader's
// message as recorded in gd.golden; where libgd is built with its GD formats
// we load exactly what it loads, pixel for pixel, and a file with a reference
// picture beside it matches that picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/ExternalTools.h"
#include "support/LibgdPictures.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

void ExpectAsLibgd(const fs::path& file, const test::LoadedPicture& picture) {
    const auto libgd = test::DecodeGdWithLibgd(test::ReadFileBytes(file.string()), file.extension() == ".gd2");
    ASSERT_EQ(picture.ok(), libgd.has_value()) << file << ": " << picture.message();
    if (libgd) {
        EXPECT_EQ(test::CanvasToRgb(*picture.canvas), *libgd) << file;
    }
}

TEST(GdCorpus, FilesLoadAsLibgdLoadsThem) {
    const fs::path folder = fs::path(MARBLEYE_CORPORA_DIR) / "libgd" / "tests";
    if (!fs::exists(folder)) GTEST_SKIP() << "no corpus at " << folder;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".gd" || extension == ".gd2") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());
    const bool libgd = test::LibgdHasGdFormats();
    std::string outcomes;
    for (const fs::path& file : files) {
        const auto picture = test::LoadPicture(file.string());
        outcomes += test::OutcomeLine(fs::relative(file, folder).string(), picture);
        if (libgd) ExpectAsLibgd(file, picture);
        fs::path reference = file;
        reference.replace_filename(file.stem().string() + "_exp.png");
        if (!picture.ok() || !fs::exists(reference) || !test::HaveTool(test::kImageMagickConvert)) continue;
        const auto expected = test::DecodeWithImageMagick(reference.string());
        ASSERT_TRUE(expected);
        const test::RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *expected) << file << ": " << test::FirstDifference(*expected, ours);
    }
    test::ExpectGolden((fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "gd.golden").string(), outcomes);
}

}  // namespace
}  // namespace marbleye
