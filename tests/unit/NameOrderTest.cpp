#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/NameOrder.h"

namespace marbleye {
namespace {

int SignOf(int value) { return (value > 0) - (value < 0); }

// Every name before every later one, in both directions.
void ExpectAscending(const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(CompareFileNames(names[i].c_str(), names[i].c_str()), 0) << names[i];
        for (size_t j = i + 1; j < names.size(); ++j) {
            EXPECT_LT(CompareFileNames(names[i].c_str(), names[j].c_str()), 0) << names[i] << " < " << names[j];
            EXPECT_GT(CompareFileNames(names[j].c_str(), names[i].c_str()), 0) << names[j] << " > " << names[i];
        }
    }
}

TEST(NameOrder, AgreesWithTheMeasuredPairs) {
    struct Pair {
        const char* a;
        const char* b;
        int sign;
    };
    const Pair pairs[] = {
        {"a-b", "ab", 1},  {"a-c", "ab", 1}, {"a'b", "ab", 1}, {"a b", "ab", -1},   {"a_b", "ab", -1},
        {"a_b", "a.b", 1}, {"10.bmp", "9.bmp", -1}, {"-b", "a", 1}, {"x1", "x-1", -1}, {"ab", "Aa", 1},
        {"aB", "Ab", -1},  {"Ab.bmp", "aB.bmp", 1}, {"coop", "co-op", -1}, {"A-", "-A", -1}, {"'", "-", -1},
    };
    for (const Pair& p : pairs) EXPECT_EQ(SignOf(CompareFileNames(p.a, p.b)), p.sign) << p.a << " vs " << p.b;
}

TEST(NameOrder, SingleCharactersInTheMeasuredOrder) {
    const std::string order =
        "'- !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789"
        "aAbBcCdDeEfFgGhHiIjJkKlLmMnNoOpPqQrRsStTuUvVwWxXyYzZ";
    std::vector<std::string> names;
    for (const char c : order) names.emplace_back(1, c);
    ExpectAscending(names);
}

// Worked out by hand: '_' and the digits come before the letters, "10" before
// "9"; after "photo" a blank, then '.', then '_', then the digits; equal
// letters go all-lower first, then by the first upper-case letter, then
// without hyphens before with.
TEST(NameOrder, SortsMixedFileNames) {
    ExpectAscending({"_cover.png", "10lives.pcx", "9lives.pcx", "ab.gif", "a'b.gif", "photo 1.gif", "photo.bmp",
                     "pho-to.bmp", "photo.BMP", "Photo.bmp", "PHOTO.BMP", "photo_1.png", "photo1.jpg",
                     "photo-1.jpg", "photo10.tif", "photo2.tif"});
}

TEST(NameOrder, OtherBytesFollowTheLettersByValue) { ExpectAscending({"Z", "zz", "\x01", "\x7f", "\xe9", "\xff"}); }

}  // namespace
}  // namespace marbleye
