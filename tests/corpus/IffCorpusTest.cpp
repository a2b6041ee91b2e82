// The IFF files of the kimageformats corpus: each loads or gives the reader's
// message, the outcome stays as recorded in iff.golden, and each reference
// picture is matched where our rules and the corpus's decoder agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "support/ExternalTools.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

// Files whose reference pictures follow rules other than ours:
const std::set<std::string> kOtherRules = {
    // PCHG chunks change the palette from line to line; we show every line
    // with the CMAP.
    "aga_pchg_amiga_16cl.iff", "aga_pchg_amiga_64cl.iff", "ocs_pchg_amiga_16cl.iff", "ocs_pchg_amiga_64cl.iff",
    // HAM8 data replaces a component's high six bits and keeps the low two
    // (as the display hardware and ilbmtoppm do); the reference stretches
    // the six bits to eight instead.
    "ham8.iff",
    // The colours are in a CMYK chunk, not a CMAP; we show the indices as
    // shades of grey.
    "ps_testcard_cmyk.iff",
};

TEST(IffCorpus, KimageformatsFiles) {
    const fs::path folder = fs::path(MARBLEYE_CORPORA_DIR) / "kimageformats" / "autotests" / "read" / "iff";
    std::vector<fs::path> files;
    if (fs::exists(folder)) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".iff") files.push_back(entry.path());
        }
    }
    if (files.empty()) GTEST_SKIP() << "no corpus at " << folder;
    std::sort(files.begin(), files.end());
    std::string outcomes;
    int matched = 0;
    for (const fs::path& file : files) {
        const auto picture = test::LoadPicture(file.string());
        const std::string name = file.filename().string();
        outcomes += test::OutcomeLine(name, picture);
        fs::path reference = file;
        reference.replace_extension(".png");
        if (!picture.ok() || !fs::exists(reference) || !test::HaveTool(test::kImageMagickConvert)) continue;
        const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
        const auto expected = test::DecodeWithImageMagick(reference.string());
        ASSERT_TRUE(expected) << name;
        if (kOtherRules.count(name) != 0) {
            EXPECT_NE(rgb, *expected) << name << " now matches its reference: take it off the list";
            continue;
        }
        EXPECT_EQ(rgb, *expected) << name << ": " << test::FirstDifference(*expected, rgb);
        ++matched;
    }
    EXPECT_GE(matched, 11) << "the ILBM, HAM and PBM files with their reference pictures";
    test::ExpectGolden((fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "iff.golden").string(), outcomes);
}

}  // namespace
}  // namespace marbleye
