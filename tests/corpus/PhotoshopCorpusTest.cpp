// The Photoshop files of the corpora: each loads or gives the reader's
// message, the outcomes stay as recorded in psd.golden, and the pictures
// match the reference pictures beside them (or ImageMagick's decoding where
// there is none) wherever our way of showing a file agrees with theirs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "support/ExternalTools.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpora = fs::path(MARBLEYE_CORPORA_DIR);
const fs::path kKdeFolder = kCorpora / "kimageformats" / "autotests" / "read" / "psd";
const fs::path kOiioFolder = kCorpora / "oiio" / "psd";

enum class Check {
    kWhole,       // every pixel, within 1 (16-bit and floating-point rounding)
    kNear,        // every pixel, within 2
    kOpaqueOnly,  // the pixels the reference shows opaque, within 1
    kNone,        // not compared; the reason is beside the entry
};

// Files compared otherwise than whole. Photoshop stores the merged picture
// of a document with transparency blended with white; the references undo
// that blending, we show the stored colours, so only opaque pixels agree.
const std::map<std::string, Check> kKdeChecks = {
    // 16-bit inks are taken at 8 bits before they are put under the black,
    // so two roundings meet.
    {"cmyk16_testcard.psd", Check::kNear},
    {"argb16-raw-affinityphoto-1.8.5.psd", Check::kOpaqueOnly},
    {"testcard_graya8.psd", Check::kOpaqueOnly},
    {"testcard_graya16.psd", Check::kOpaqueOnly},
    {"testcard_graya32.psd", Check::kOpaqueOnly},
    // Lab: the references come from a colour-managed conversion that shows
    // Lab's white as grey 250; ours is the plain D50 Lab to sRGB formula
    // (white is 255), checked on known colours in the unit test.
    {"laba_8bit.psd", Check::kNone},
    {"laba_16bit.psd", Check::kNone},
    // Multichannel pictures have no colour meaning of their own: we show
    // channels 0-2 as red, green, blue (one or two channels as grey); the
    // references read four channels as CMYK and two as something else.
    {"mch-8bits.psd", Check::kNone},
    {"mch-16bits.psd", Check::kNone},
    {"mch2-8bits.psd", Check::kNone},
    {"mch2-16bits.psd", Check::kNone},
};

// The files without a reference picture, compared with ImageMagick's
// decoding of the merged picture, except:
const std::map<std::string, Check> kOiioChecks = {
    // Transparent pixels blended with white, as above; ImageMagick undoes it.
    {"psd_123.psd", Check::kNone},
    {"psd_rgba_8.psd", Check::kNone},
    // Saved without "maximise compatibility": the merged picture is left
    // empty and ImageMagick composes the layers instead, which we never read.
    {"psd_123_nomaxcompat.psd", Check::kNone},
    // ImageMagick cannot read it.
    {"psd_indexed_trans.psd", Check::kNone},
};

std::vector<fs::path> PsdFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".psd") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::optional<test::RgbImage> MagickDecoding(const std::string& path, const std::string& options) {
    const auto ppm = test::RunCommand(std::string(test::kImageMagickConvert) + " " + test::Quoted(path) + " " +
                                      options + " -depth 8 ppm:-");
    return ppm ? test::FromPnm(*ppm) : std::nullopt;
}

// Samples further apart than the tolerance, counted over the pixels the check covers.
void ExpectMatches(const std::string& name, const test::RgbImage& ours, const test::RgbImage& expected,
                   const std::optional<test::RgbImage>& alpha, int tolerance) {
    ASSERT_EQ(ours.width, expected.width) << name;
    ASSERT_EQ(ours.height, expected.height) << name;
    int wrong = 0, compared = 0;
    for (int32_t y = 0; y < ours.height; ++y) {
        for (int32_t x = 0; x < ours.width; ++x) {
            if (alpha && alpha->At(x, y)[0] != 255) continue;
            ++compared;
            for (int c = 0; c < 3; ++c) wrong += std::abs(ours.At(x, y)[c] - expected.At(x, y)[c]) > tolerance;
        }
    }
    EXPECT_GT(compared, ours.width * ours.height / 32) << name << ": enough pixels are compared";
    EXPECT_EQ(wrong, 0) << name << ": " << test::FirstDifference(expected, ours);
}

void CheckFile(const fs::path& file, const std::map<std::string, Check>& checks, bool withReference,
               std::string& outcomes, const std::string& prefix) {
    const std::string name = file.filename().string();
    const auto picture = test::LoadPicture(file.string());
    outcomes += test::OutcomeLine(prefix + name, picture);
    const auto entry = checks.find(name);
    const Check check = entry == checks.end() ? Check::kWhole : entry->second;
    if (!picture.ok() || check == Check::kNone || !test::HaveTool(test::kImageMagickConvert)) return;

    fs::path reference = file;
    reference.replace_extension(".png");
    if (withReference && !fs::exists(reference)) return;
    const std::string source = withReference ? reference.string() : file.string() + "[0]";
    const auto expected = MagickDecoding(source, "-alpha off");
    ASSERT_TRUE(expected) << name;
    std::optional<test::RgbImage> alpha;
    if (check == Check::kOpaqueOnly) {
        alpha = MagickDecoding(source, "-alpha extract");
        ASSERT_TRUE(alpha) << name;
    }
    ExpectMatches(name, test::CanvasToRgb(*picture.canvas), *expected, alpha, check == Check::kNear ? 2 : 1);
}

TEST(PhotoshopCorpus, FilesLoadAsRecordedAndMatchTheirReferences) {
    const std::vector<fs::path> kde = PsdFiles(kKdeFolder), oiio = PsdFiles(kOiioFolder);
    if (kde.empty() && oiio.empty()) GTEST_SKIP() << "no corpus at " << kCorpora;
    std::string outcomes;
    for (const fs::path& file : kde) CheckFile(file, kKdeChecks, true, outcomes, "kimageformats/");
    for (const fs::path& file : oiio) CheckFile(file, kOiioChecks, false, outcomes, "oiio/");
    test::ExpectGolden((fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "psd.golden").string(), outcomes);
}

}  // namespace
}  // namespace marbleye
