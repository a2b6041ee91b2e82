#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzInputs.h"
#include "support/MemoryUse.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(MARBLEYE_SOURCE_DIR) / "fuzz" / "corpus";

struct Seed {
    std::string family;
    fs::path path;
};

void PrintTo(const Seed& seed, std::ostream* out) { *out << seed.path.string(); }

std::vector<Seed> AllSeeds() {
    std::vector<Seed> seeds;
    for (const auto& folder : fs::directory_iterator(kCorpus)) {
        if (!folder.is_directory()) continue;
        for (const auto& file : fs::directory_iterator(folder.path())) {
            if (file.is_regular_file()) seeds.push_back({folder.path().filename().string(), file.path()});
        }
    }
    std::sort(seeds.begin(), seeds.end(), [](const Seed& a, const Seed& b) { return a.path < b.path; });
    return seeds;
}

std::string SeedName(const testing::TestParamInfo<Seed>& info) {
    std::string name = info.param.family + "_" + info.param.path.filename().string();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

// Every input the fuzzers start from (and every one that ever crashed them,
// kept beside the seeds) is loaded the way the fuzz target loads it, at the
// program's own pixel limit: each load gives a picture or a message.
class FuzzSeed : public testing::TestWithParam<Seed> {};

TEST_P(FuzzSeed, GivesAPictureOrAMessage) {
    const std::string bytes = test::ReadFileBytes(GetParam().path.string());
    std::vector<std::string> outcomes;
    const long growth = test::PeakMemoryGrowthKb([&] {
        outcomes = fuzz::RunFuzzInput(GetParam().family, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    });
    EXPECT_FALSE(outcomes.empty());
    for (const std::string& outcome : outcomes) EXPECT_NE(outcome, "the fuzz input could not be written");
    if (bytes.size() < test::kSmallFileBytes) {
        EXPECT_LT(growth, test::kSmallFileGrowthLimitKb);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, FuzzSeed, testing::ValuesIn(AllSeeds()), SeedName);

TEST(FuzzCorpus, EveryFamilyHasSeedsAndEveryFolderAFamily) {
    std::vector<std::string> folders;
    for (const auto& folder : fs::directory_iterator(kCorpus)) {
        if (folder.is_directory() && !fs::is_empty(folder.path())) folders.push_back(folder.path().filename().string());
    }
    std::sort(folders.begin(), folders.end());
    std::vector<std::string> families(fuzz::FuzzFamilies().begin(), fuzz::FuzzFamilies().end());
    std::sort(families.begin(), families.end());
    EXPECT_EQ(folders, families);
}

}  // namespace
}  // namespace marbleye
