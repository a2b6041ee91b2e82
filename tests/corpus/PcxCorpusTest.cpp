// The PCX files of the corpora: each loads or gives the reader's message, the
// outcome stays as recorded in pcx.golden, and files with a reference picture
// match it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "support/ExternalTools.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::path(MARBLEYE_CORPORA_DIR) / "kimageformats" / "autotests" / "read" / "pcx";
const fs::path kGolden = fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "pcx.golden";

std::vector<fs::path> PcxFiles() {
    std::vector<fs::path> files;
    if (!fs::exists(kFolder)) return files;
    for (const auto& entry : fs::directory_iterator(kFolder)) {
        if (entry.path().extension() == ".pcx") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(PcxCorpus, EveryFileKeepsItsRecordedOutcomeAndMatchesItsReference) {
    const std::vector<fs::path> files = PcxFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << kFolder;
    std::string outcomes;
    for (const fs::path& file : files) {
        const auto picture = test::LoadPicture(file.string());
        std::ostringstream line;
        line << file.filename().string() << ' ';
        if (!picture.ok()) {
            line << "message " << picture.message();
        } else {
            const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
            line << rgb.width << 'x' << rgb.height << " stored " << picture.image.fileBitDepth << " rgb " << std::hex
                 << test::Fnv1a(rgb.rgb);
            fs::path reference = file;
            reference.replace_extension(".png");
            if (fs::exists(reference) && test::HaveTool(test::kImageMagickConvert)) {
                const auto expected = test::DecodeWithImageMagick(reference.string());
                ASSERT_TRUE(expected);
                EXPECT_EQ(rgb, *expected) << file.filename() << ": " << test::FirstDifference(*expected, rgb);
            }
        }
        outcomes += line.str() + "\n";
    }
    test::ExpectGolden(kGolden.string(), outcomes);
}

}  // namespace
}  // namespace marbleye
