// libtiff's picture set: every file decodes or gives the reader's message,
// and the outcomes stay as recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

TEST(LibtiffPictures, EveryFileDecodesOrGivesAMessage) {
    const fs::path folder = fs::path(MARBLEYE_CORPORA_DIR) / "oiio" / "libtiffpic";
    if (!fs::exists(folder)) GTEST_SKIP() << "no corpus at " << folder;
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.path().extension() == ".tif") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::string outcomes;
    int decoded = 0;
    for (const fs::path& file : files) {
        const auto picture = test::LoadPicture(file.string());
        outcomes += test::OutcomeLine(fs::relative(file, folder).string(), picture);
        if (picture.ok()) {
            ++decoded;
        } else {
            EXPECT_FALSE(picture.message().empty()) << file;
        }
    }
    EXPECT_GT(decoded, 30);
    test::ExpectGolden((fs::path(MARBLEYE_SOURCE_DIR) / "tests" / "corpus" / "libtiffpic.golden").string(), outcomes);
}

}  // namespace
}  // namespace marbleye
