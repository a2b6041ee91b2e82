#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "formats/FormatTable.h"

namespace marbleye {
namespace {

// Every extension of the dispatcher with its format code, written out here on
// their own so that a slip in the table shows.
const std::vector<std::pair<const char*, int32_t>> kExpected = {
    {"bmp", 0},   {"dib", 0},   {"rle", 0},  {"cam", 2},   {"dds", 3},   {"djvu", 4},  {"iw44", 4},
    {"iw4", 4},   {"eps", 10},  {"cut", 1},  {"tga", 8},   {"img", 16},  {"gem", 16},  {"fits", 12},
    {"fpx", 11},  {"gd2", 13},  {"gd", 13},  {"gif", 5},   {"hrz", 14},  {"iff", 15},  {"lbm", 15},
    {"jbg", 7},   {"jpg", 6},   {"jpeg", 6}, {"jif", 6},   {"jfif", 6},  {"jpe", 6},   {"ico", 22},
    {"emf", 9},   {"wmf", 9},   {"lvp", 17}, {"msp", 18},  {"mng", 19},  {"jng", 19},  {"mac", 21},
    {"ras", 35},  {"sun", 35},  {"myc", 37}, {"sgi", 36},  {"bw", 36},   {"rgb", 36},  {"rgba", 36},
    {"pcd", 31},  {"pcx", 32},  {"pic", 29}, {"png", 23},  {"ppm", 24},  {"pbm", 26},  {"pgm", 25},
    {"vkp", 27},  {"psd", 30},  {"psp", 34}, {"pix", 33},  {"mat", 33},  {"tif", 28},  {"wbmp", 39},
    {"zbr", 40},  {"xbm", 41},  {"avi", 38}, {"mov", 38},  {"wav", 38},  {"mid", 38},  {"mp1", 38},
    {"mp2", 38},  {"mp3", 38},  {"aif", 38}, {"au", 38},   {"snd", 38},  {"rmi", 38},  {"wma", 38},
    {"wm", 38},   {"wmv", 38},  {"wvx", 38}, {"asf", 38},  {"mpg", 38},  {"mpeg", 38}, {"qt", 38},
};

TEST(FormatTable, EveryExtensionHasItsCode) {
    for (const auto& [extension, id] : kExpected) {
        EXPECT_EQ(FindFormatId(std::string("C:\\pictures\\a.") + extension), id) << extension;
    }
}

TEST(FormatTable, TheTableListsNothingElse) {
    size_t listed = 0;
    std::set<int32_t> ids;
    for (const FormatEntry& entry : FormatTable()) {
        listed += static_cast<size_t>(std::count(entry.extensions.begin(), entry.extensions.end(), ' ')) + 1;
        ids.insert(entry.formatId);
    }
    EXPECT_EQ(listed, kExpected.size());
    EXPECT_EQ(ids.count(20), 0u) << "code 20 has no extension";
    EXPECT_EQ(ids.size(), 41u);
}

TEST(FormatTable, ExtensionRules) {
    EXPECT_EQ(FindFormatId("PHOTO.JPG"), 6);
    EXPECT_EQ(FindFormatId("a.Jpeg"), 6);
    EXPECT_EQ(FindFormatId("archive.tar.gz"), -1);
    EXPECT_EQ(FindFormatId("README"), -1);
    EXPECT_EQ(FindFormatId("trailing."), -1);
    EXPECT_EQ(FindFormatId("/home/me/film.qt"), 38);
    EXPECT_EQ(FindFormatId("song.mp3"), 38);
    EXPECT_EQ(FindFormatId("picture.rle"), 0);
    EXPECT_EQ(FindFormatId("pic.bmp.gif"), 5) << "only the text after the last dot counts";
}

TEST(FormatTable, TheBitmapReaderIsPresent) {
    const FormatEntry* bmp = FindFormat("a.dib");
    ASSERT_NE(bmp, nullptr);
    EXPECT_NE(bmp->reader, nullptr);
}

}  // namespace
}  // namespace marbleye
