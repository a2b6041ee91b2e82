#include <gtest/gtest.h>

#include <filesystem>

#include "settings/IniFile.h"
#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye {
namespace {

TEST(ProfileInt, ReadsLikeThePlatform) {
    EXPECT_EQ(ParseProfileInt("42"), 42);
    EXPECT_EQ(ParseProfileInt("  -7"), -7);
    EXPECT_EQ(ParseProfileInt("+3"), 3);
    EXPECT_EQ(ParseProfileInt("12abc"), 12) << "digits up to the first other character";
    EXPECT_EQ(ParseProfileInt("0x1F"), 31);
    EXPECT_EQ(ParseProfileInt("0b101"), 5);
    EXPECT_EQ(ParseProfileInt("0o17"), 15);
    EXPECT_EQ(ParseProfileInt("4294967295"), -1) << "values wrap at 32 bits";
    EXPECT_EQ(ParseProfileInt("abc"), std::nullopt);
    EXPECT_EQ(ParseProfileInt(""), std::nullopt);
    EXPECT_EQ(ParseProfileInt("-"), std::nullopt);
}

TEST(IniFile, SectionsAndKeysMatchWithoutRegardToCase) {
    const IniFile file = IniFile::Parse("[SaveAs]\r\nVKPRLE=0\r\n[fullscreen]\r\nshowcursor = 0\r\n");
    EXPECT_EQ(file.GetInt("saveas", "VKPRle", 1), 0);
    EXPECT_EQ(file.GetInt("FullScreen", "ShowCursor", 1), 0);
}

TEST(IniFile, MissingOrNonNumericValuesGiveTheFallback) {
    const IniFile file = IniFile::Parse("[A]\nnumber=abc\nempty=\nstring=hello\n");
    EXPECT_EQ(file.GetInt("A", "number", 5), 5);
    EXPECT_EQ(file.GetInt("A", "empty", 6), 6);
    EXPECT_EQ(file.GetInt("A", "missing", 7), 7);
    EXPECT_EQ(file.GetInt("B", "number", 8), 8);
    EXPECT_EQ(file.GetString("A", "missing", "C:\\Temp", 512), "C:\\Temp");
    EXPECT_EQ(file.GetString("A", "empty", "x", 512), "") << "a present empty value is not missing";
}

TEST(IniFile, ValuesAreTrimmedUnquotedAndCutToTheBuffer) {
    const IniFile file = IniFile::Parse("[A]\nquoted = \"  spaced  \" \nlong=abcdefgh\n; note=1\n");
    EXPECT_EQ(file.GetString("A", "quoted", "", 512), "  spaced  ");
    EXPECT_EQ(file.GetString("A", "long", "", 4), "abc");
    EXPECT_EQ(file.Find("A", "; note"), std::nullopt) << "comments are not keys";
    EXPECT_EQ(file.Find("A", "note"), std::nullopt);
}

TEST(IniFile, TheFirstOfTwoEqualKeysWinsAndSectionsEndAtTheNext) {
    const IniFile file = IniFile::Parse("[A]\nk=1\nK=2\n[B]\nk=3\n[a]\nk=4\n");
    EXPECT_EQ(file.GetInt("A", "k", 0), 1);
    EXPECT_EQ(file.GetInt("B", "k", 0), 3);
}

TEST(IniFile, SettingAKeyKeepsTheRestOfTheFile) {
    IniFile file = IniFile::Parse("; my settings\n[A]\nkeep=1\nChange=2\n\n[B]\nother=x\n");
    file.SetString("a", "change", "20");
    file.SetInt("A", "New", -5);
    file.SetString("C", "Fresh", "yes");
    EXPECT_EQ(file.Text(),
              "; my settings\r\n[A]\r\nkeep=1\r\nChange=20\r\nNew=-5\r\n\r\n[B]\r\nother=x\r\n\r\n[C]\r\nFresh=yes\r\n");
    file.DeleteKey("A", "KEEP");
    EXPECT_EQ(file.Find("A", "keep"), std::nullopt);
    EXPECT_EQ(file.GetInt("A", "new", 0), -5);
}

TEST(IniFile, TheFileIsCreatedByTheFirstSaveAndReadBack) {
    test::TempFolder folder;
    const std::string path = folder.File("Marbleye.ini");
    IniFile missing = IniFile::Load(path);
    EXPECT_EQ(missing.Text(), "");
    EXPECT_FALSE(std::filesystem::exists(path));
    missing.SetInt("Appearance", "AlwaysOnTop", 1);
    ASSERT_TRUE(missing.Save(path));
    EXPECT_EQ(IniFile::Load(path).GetInt("APPEARANCE", "alwaysontop", 0), 1);
    EXPECT_EQ(test::ReadFileBytes(path), "[Appearance]\r\nAlwaysOnTop=1\r\n");
}

TEST(IniFile, AFailedSaveKeepsTheOldFile) {
    test::TempFolder folder;
    const std::string path = folder.File("nowhere/Marbleye.ini");
    IniFile file;
    file.SetInt("A", "b", 1);
    EXPECT_FALSE(file.Save(path)) << "the folder does not exist";
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace marbleye
