#include <gtest/gtest.h>

#include "settings/AppSettings.h"
#include "settings/DefaultToolbar.h"
#include "settings/SettingsTable.h"
#include "support/TempFolder.h"

namespace marbleye {
namespace {

const ScreenMetrics kScreen{1280, 1024, 990};

TEST(Settings, AMissingFileGivesEveryDefault) {
    const AppSettings settings = LoadSettings(IniFile(), kScreen);
    EXPECT_EQ(settings, DefaultSettings(kScreen));
    EXPECT_EQ(settings.useOnlyOneInstance, 1);
    EXPECT_EQ(settings.delay, 500);
    EXPECT_EQ(settings.jpgQuality, 80);
    EXPECT_EQ(settings.tifCompression, 3);
    EXPECT_EQ(settings.dither8bitDitherType, 3);
    EXPECT_EQ(settings.thumbScaleType, 3);
    EXPECT_EQ(settings.catalogThumbSize, 5);
    EXPECT_EQ(settings.thumbWindowWith, 1080);
    EXPECT_EQ(settings.thumbWindowW, 1280);
    EXPECT_EQ(settings.thumbWindowH, 990);
    EXPECT_EQ(settings.toolBarButtonCount, 25);
    EXPECT_EQ(settings.toolbarSlots, DefaultToolbarSlots());
    EXPECT_TRUE(settings.copyToDirs.empty());
    EXPECT_EQ(settings.languageFile, "");
}

TEST(Settings, TheDefaultToolbar) {
    const auto& slots = DefaultToolbarSlots();
    EXPECT_EQ(slots[0], (ToolbarSlot{1, 200, 0}));
    EXPECT_EQ(slots[3], (ToolbarSlot{1, 0, 0}));
    EXPECT_EQ(slots[7], (ToolbarSlot{0, 40077, 21}));
    EXPECT_EQ(slots[16], (ToolbarSlot{0, 40004, 14}));
    EXPECT_EQ(slots[24], (ToolbarSlot{1, 203, 7}));
    EXPECT_EQ(DefaultToolbarLabels()[11], "Zoom 100");
}

// Gives every setting a value of its own, unlike its default and its neighbours.
AppSettings DistinctSettings() {
    AppSettings settings = DefaultSettings(kScreen);
    int32_t next = 1000;
    for (const IntSetting& entry : IntSettings()) settings.*entry.field = next++;
    for (const StringSetting& entry : StringSettings()) {
        settings.*entry.field = "D:\\value " + std::to_string(next++);
    }
    settings.toolBarButtonCount = 25;
    for (auto& slot : settings.toolbarSlots) slot = ToolbarSlot{next % 2, next++, next++};
    settings.copyToDirs = {"D:\\copies", "E:\\more copies"};
    settings.moveToDirs = {"F:\\moved"};
    return settings;
}

TEST(Settings, EveryKeyRoundTripsThroughTheFile) {
    test::TempFolder folder;
    const std::string path = folder.File("Marbleye.ini");
    const AppSettings written = DistinctSettings();
    IniFile file;
    SaveSettings(written, file);
    ASSERT_TRUE(file.Save(path));
    EXPECT_EQ(LoadSettings(IniFile::Load(path), kScreen), written);
}

TEST(Settings, KeysAreWrittenUnderTheirSections) {
    IniFile file;
    SaveSettings(DefaultSettings(kScreen), file);
    const std::string text = file.Text();
    for (const char* line : {"[FullScreen]", "ShowCursor=1", "[SaveAs]", "JPGQuality=80", "LastSaveFilter=1",
                             "[ToolBar]", "nToolBarButtons=25", "ButtonActive7=0", "Button24=203",
                             "ButtonBitmap24=7", "[Directories]", "CopyToDirCount=0", "[Printer]",
                             "PrinteriScaleX=100", "[Catalog]", "ThumbSize=5"}) {
        EXPECT_NE(text.find(std::string(line) + "\r\n"), std::string::npos) << line;
    }
    EXPECT_EQ(file.GetInt("BatchConversion", "LastSaveFilter", -1), 1);
    EXPECT_EQ(file.GetInt("Video", "Size", -1), 1);
}

TEST(Settings, KeysAreReadWithoutRegardToCase) {
    const IniFile file = IniFile::Parse("[saveas]\nVKPRLE=0\n[APPEARANCE]\nlanguagefile=INTL\\german.ini\n");
    const AppSettings settings = LoadSettings(file, kScreen);
    EXPECT_EQ(settings.vkpRle, 0);
    EXPECT_EQ(settings.languageFile, "INTL\\german.ini");
}

TEST(Settings, BadValuesKeepTheirDefaults) {
    const IniFile file = IniFile::Parse("[SlideShow]\nDelay=soon\n[ToolBar]\nnToolBarButtons=99\nButton0=x\n");
    const AppSettings settings = LoadSettings(file, kScreen);
    EXPECT_EQ(settings.delay, 500);
    EXPECT_EQ(settings.toolBarButtonCount, 25) << "at most the 25 slots the toolbar has";
    EXPECT_EQ(settings.toolbarSlots[0].command, 200);
}

TEST(Settings, OnlyTheCountedSlotsAreRead) {
    const IniFile file = IniFile::Parse("[ToolBar]\nnToolBarButtons=2\nButton1=40002\nButton5=40003\n");
    const AppSettings settings = LoadSettings(file, kScreen);
    EXPECT_EQ(settings.toolBarButtonCount, 2);
    EXPECT_EQ(settings.toolbarSlots[1].command, 40002);
    EXPECT_EQ(settings.toolbarSlots[5].command, DefaultToolbarSlots()[5].command);
}

TEST(Settings, TargetListsFollowTheirCounts) {
    const IniFile file = IniFile::Parse(
        "[Directories]\nCopyToDirCount=3\nCopyToDir1=D:\\a\nCopyToDir3=D:\\c\nMoveToDirCount=500\n");
    const AppSettings settings = LoadSettings(file, kScreen);
    EXPECT_EQ(settings.copyToDirs, (std::vector<std::string>{"D:\\a", "C:\\Temp", "D:\\c"}));
    EXPECT_EQ(settings.moveToDirs.size(), kMaxTargetFolders);
}

TEST(Settings, StringsAreCutToTheirBuffers) {
    IniFile file;
    file.SetString("Appearance", "LanguageFile", std::string(400, 'L'));
    file.SetString("OpenWith", "OpenWithPSP", std::string(2000, 'P'));
    file.SetString("Directories", "LastOpenDir", std::string(2000, 'D'));
    const AppSettings settings = LoadSettings(file, kScreen);
    EXPECT_EQ(settings.languageFile.size(), 255u);
    EXPECT_EQ(settings.openWithPSP.size(), 1023u);
    EXPECT_EQ(settings.lastOpenDir.size(), 511u);
}

TEST(Settings, TheBrowseHistoryIsReadAndWrittenOnItsOwn) {
    IniFile file;
    std::vector<std::string> folders;
    for (int i = 0; i < 250; ++i) folders.push_back("C:\\pictures\\" + std::to_string(i));
    SaveBrowseHistory(folders, file);
    EXPECT_EQ(file.GetInt("ThumbNails", "ThumbNailBrowseDirCount", 0), 200);
    EXPECT_EQ(file.GetString("ThumbNails", "ThumbNailBrowseDir1", "", 512), "C:\\pictures\\0");
    folders.resize(200);
    EXPECT_EQ(LoadBrowseHistory(file), folders);

    IniFile settingsOnly;
    SaveSettings(DefaultSettings(kScreen), settingsOnly);
    EXPECT_EQ(settingsOnly.Find("ThumbNails", "ThumbNailBrowseDirCount"), std::nullopt);
}

}  // namespace
}  // namespace marbleye
