// The Softimage PIC files of the corpora: each loads or gives the reader's
// message, the outcome stays as recorded in softimage.golden, and files
// with a reference picture match it, alpha included.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/ExternalTools.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpora(MARBLEYE_CORPORA_DIR);

std::vector<fs::path> PicFiles() {
    std::vector<fs::path> files;
    for (const fs::path& folder : {kCorpora / "oiio" / "softimage", kCorpora / "kimageformats" / "autotests",
                                  kCorpora / "kimageformats" / "autotests" / "pic"}) {
        if (!fs::exists(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".pic") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The reference picture of a file: the PNG of the same name, which the
// stored ("-uncompressed") variants share with their run-length twins.
fs::path ReferenceOf(const fs::path& file) {
    std::string stem = file.stem().string();
    const std::string stored = "-uncompressed";
    if (stem.size() > stored.size() && stem.ends_with(stored)) stem.resize(stem.size() - stored.size());
    return file.parent_path() / (stem + ".png");
}

// The alpha of every pixel, top row first, as ImageMagick reads it; empty
// when the picture has no alpha channel.
std::string ReferenceAlpha(const fs::path& png) {
    const auto kind = test::RunCommand(std::string(test::kImageMagickConvert) + " " + test::Quoted(png.string()) +
                                       " -format %A info:");
    if (!kind || kind->rfind("True", 0) != 0) return {};
    const auto rgba = test::RunCommand(std::string(test::kImageMagickConvert) + " " + test::Quoted(png.string()) +
                                       " -depth 8 rgba:-");
    if (!rgba) return {};
    std::string alpha;
    for (size_t i = 3; i < rgba->size(); i += 4) alpha += (*rgba)[i];
    return alpha;
}

std::string CanvasAlpha(const ImageCanvas& canvas) {
    std::string alpha;
    for (int32_t y = canvas.height() - 1; y >= 0; --y) {
        for (int32_t x = 0; x < canvas.width(); ++x) alpha += static_cast<char>(canvas.Row(y)[x * 4 + 3]);
    }
    return alpha;
}

TEST(SoftimageCorpus, FilesLoadAsRecordedAndMatchTheirReferences) {
    const std::vector<fs::path> files = PicFiles();
    if (files.empty()) GTEST_SKIP() << "no Softimage corpus under " << kCorpora;
    std::string outcomes;
    int compared = 0;
    for (const fs::path& file : files) {
        const auto picture = test::LoadPicture(file.string());
        const std::string name = fs::relative(file, kCorpora).generic_string();
        outcomes += test::OutcomeLine(name, picture);
        const fs::path reference = ReferenceOf(file);
        if (!picture.ok() || !fs::exists(reference) || !test::HaveTool(test::kImageMagickConvert)) continue;
        const auto expected = test::DecodeWithImageMagick(reference.string());
        ASSERT_TRUE(expected) << reference;
        const test::RgbImage rgb = test::CanvasToRgb(*picture.canvas);
        EXPECT_EQ(rgb, *expected) << name << ": " << test::FirstDifference(*expected, rgb);
        const std::string alpha = ReferenceAlpha(reference);
        if (!alpha.empty()) {
            EXPECT_EQ(CanvasAlpha(*picture.canvas), alpha) << name << ": alpha";
        }
        ++compared;
    }
    if (test::HaveTool(test::kImageMagickConvert)) {
        EXPECT_GE(compared, 5) << "files with a reference picture";
    }
    test::ExpectGolden((fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "softimage.golden").string(), outcomes);
}

}  // namespace
}  // namespace marbleye
