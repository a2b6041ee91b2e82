// The bmpsuite and the other corpus bitmaps: every file loads or gives the reader's message, the outcome
// of each stays as recorded in bmpsuite.golden, and the good files match the
// suite's reference pictures where our decoding rules agree with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/ExternalTools.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kSuite = fs::path(MARBLEYE_CORPORA_DIR) / "oiio" / "bmpsuite";
const fs::path kMoreBitmaps = fs::path(MARBLEYE_CORPORA_DIR) / "oiio" / "bmp";
const fs::path kGolden = fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "bmpsuite.golden";

// One line per file: name, then the picture's size, depths and pixel hash, or
// the message.
std::string Outcome(const fs::path& file) {
    const auto picture = test::LoadPicture(file.string());
    std::ostringstream line;
    line << file.filename().string() << ' ';
    if (!picture.ok()) {
        line << "message " << picture.message();
    } else {
        const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
        line << rgb.width << 'x' << rgb.height << " stored " << picture.image.fileBitDepth << " canvas "
             << picture.canvas->bitsPerPixel() << " rgb " << std::hex << test::Fnv1a(rgb.rgb);
    }
    return line.str();
}

std::vector<fs::path> SuiteFiles() {
    std::vector<fs::path> files;
    for (const fs::path& folder : {kSuite, kMoreBitmaps}) {
        if (!fs::exists(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".bmp") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(BmpSuite, EveryFileKeepsItsRecordedOutcome) {
    if (!fs::exists(kSuite)) GTEST_SKIP() << "no corpus at " << kSuite;
    std::string outcomes;
    for (const fs::path& file : SuiteFiles()) outcomes += Outcome(file) + "\n";
    test::ExpectGolden(kGolden.string(), outcomes);
}

// Where the suite's reference pictures follow other rules than ours.
const std::map<std::string, std::string> kDifferentRules = {
    {"g16bf565.bmp", "green is expanded from its top five bits, not from all six"},
    {"g16bf555.bmp", "5-bit values are scaled by 255 / 31 and rounded; the reference shifts them left by three"},
};

TEST(BmpSuite, GoodFilesMatchTheReferencePictures) {
    if (!fs::exists(kSuite)) GTEST_SKIP() << "no corpus at " << kSuite;
    MARBLEYE_REQUIRE_TOOL(test::kImageMagickConvert);
    MARBLEYE_REQUIRE_TOOL("/usr/bin/unzip");
    test::TempFolder folder;
    ASSERT_TRUE(test::RunCommand("/usr/bin/unzip -q -o " + test::Quoted((kSuite / "bmpsuite-ref.zip").string()) +
                                 " -d " + test::Quoted(folder.path())));
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        if (entry.path().extension() != ".png") continue;
        const std::string bmpName = "g" + entry.path().stem().string() + ".bmp";
        if (kDifferentRules.count(bmpName)) continue;
        const auto reference = test::DecodeWithImageMagick(entry.path().string());
        ASSERT_TRUE(reference) << entry.path();
        const auto picture = test::LoadPicture((kSuite / bmpName).string());
        ASSERT_TRUE(picture.ok()) << bmpName << ": " << picture.message();
        const test::RgbImage ours = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(ours, *reference) << bmpName << ": " << test::FirstDifference(*reference, ours);
        ++compared;
    }
    EXPECT_GE(compared, 10);
}

}  // namespace
}  // namespace marbleye
