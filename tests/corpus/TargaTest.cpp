// The Truevision conformance set and the other Targa files of the corpora:
// every file loads or gives the reader's message, each outcome stays as
// recorded in targa.golden, and the files with reference pictures match them
// where the orientation bits agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include "support/ExternalTools.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpora = fs::path(MARBLEYE_CORPORA_DIR);
const fs::path kGolden = fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "targa.golden";

std::vector<fs::path> TargaFiles() {
    std::vector<fs::path> files;
    for (const fs::path& folder : {kCorpora / "oiio" / "targa", kCorpora / "kimageformats" / "autotests" / "read" / "tga"}) {
        if (!fs::exists(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            std::string extension = entry.path().extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
            if (extension == ".tga") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Targa, EveryFileKeepsItsRecordedOutcome) {
    const std::vector<fs::path> files = TargaFiles();
    if (files.empty()) GTEST_SKIP() << "no corpus at " << kCorpora;
    std::string outcomes;
    for (const fs::path& file : files) {
        const auto picture = test::LoadPicture(file.string());
        outcomes += test::OutcomeLine(file.parent_path().filename().string() + "/" + file.filename().string(), picture);
    }
    test::ExpectGolden(kGolden.string(), outcomes);
}

// Files whose reference follows other rules than the reader's.
const std::map<std::string, std::string> kDifferentRules = {
    {"rgb16.tga", "5-bit values are scaled by 255 / 31 and rounded; the reference replicates bits (197 against 198)"},
    {"bwa.tga", "16-bit pixels are read as 5-5-5 colour, also in a grey file with alpha"},
};

// kimageformats keeps a PNG beside each Targa file: the picture as it should look.
TEST(Targa, FilesMatchTheirReferencePictures) {
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    int compared = 0, matched = 0;
    std::string differing;
    for (const fs::path& file : TargaFiles()) {
        fs::path reference = file;
        reference.replace_extension(".png");
        if (!fs::exists(reference) || kDifferentRules.count(file.filename().string())) continue;
        const auto expected = test::DecodeWithImageMagick(reference.string());
        const auto picture = test::LoadPicture(file.string());
        if (!expected || !picture.ok()) continue;
        ++compared;
        if (test::CanvasToRgb(*picture.canvas) == *expected) ++matched;
        else differing += " " + file.filename().string();
    }
    if (compared == 0) GTEST_SKIP() << "no reference pictures";
    EXPECT_EQ(differing, "") << matched << " of " << compared << " match";
}

}  // namespace
}  // namespace marbleye
