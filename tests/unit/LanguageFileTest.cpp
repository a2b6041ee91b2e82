#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "commands/CommandList.h"
#include "commands/MenuLayout.h"
#include "settings/LanguageFile.h"
#include "support/TempFolder.h"

namespace marbleye {
namespace {

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The index of the layout node with the given key or command.
size_t NodeWithKey(std::span<const MenuNode> layout, std::string_view key) {
    const auto found =
        std::find_if(layout.begin(), layout.end(), [key](const MenuNode& n) { return n.languageKey == key; });
    EXPECT_NE(found, layout.end()) << key;
    return static_cast<size_t>(found - layout.begin());
}
size_t NodeWithCommand(std::span<const MenuNode> layout, int32_t command) {
    const auto found = std::find_if(layout.begin(), layout.end(), [command](const MenuNode& n) {
        return n.kind == MenuNodeKind::kItem && n.command == command;
    });
    EXPECT_NE(found, layout.end()) << command;
    return static_cast<size_t>(found - layout.begin());
}

TEST(LanguageFile, MissingKeysAndAMissingFileGiveEmptyTexts) {
    const test::TempFolder folder;
    const LanguageFile missing = LanguageFile::Load(folder.File("none.ini"));
    EXPECT_EQ(missing.Text("Menu", "File_Open"), "");
    EXPECT_EQ(LoadOptionCaptions(missing).viewer, "");
    EXPECT_EQ(JoinToolbarLabels(LoadToolbarTexts(missing).labels), std::string(26, '\0'));

    const LanguageFile file = LanguageFile::Parse("[Menu]\r\nFile_Exit=Ende\r\n");
    EXPECT_EQ(file.Text("Menu", "File_Open"), "");
    EXPECT_EQ(file.Text("Tooltips", "File_Exit"), "") << "keys belong to their section";
}

TEST(LanguageFile, SectionsAndKeysMatchWithoutRegardToCaseAndBytesPassUnchanged) {
    const LanguageFile file = LanguageFile::Parse("[mEnU]\r\nfile_OPEN=\xD6\x66\x66nen\t\xC4\r\n");
    EXPECT_EQ(file.Text("Menu", "File_Open"), "\xD6\x66\x66nen\t\xC4");
}

TEST(LanguageFile, ValuesAreCutToTheirBuffers) {
    const std::string long600(600, 'x');
    const LanguageFile file = LanguageFile::Parse("[Header]\nLanguage=" + long600 + "\n[Menu]\nFile=" + long600 +
                                                  "\n[ToolbarLabels]\nAbout=" + long600 + "\n[Tooltips]\nRename=" +
                                                  long600 + "\n[OptionCaptions]\nOptions_Toolbar=" + long600 + "\n");
    EXPECT_EQ(ReadLanguageHeader(file).language.size(), 255u);
    EXPECT_EQ(file.Text("Menu", "File").size(), 511u);
    EXPECT_EQ(TranslateMenu(file, MainMenuLayout(), "Menu")[0]->size(), 511u);
    const ToolbarTexts toolbar = LoadToolbarTexts(file);
    EXPECT_EQ(toolbar.labels[24].size(), 127u);
    EXPECT_EQ(toolbar.ToolTip("Rename").size(), 127u);
    EXPECT_EQ(LoadOptionCaptions(file).toolbar.size(), 127u);
}

TEST(LanguageFile, TheHeaderHasDefaultsForMissingKeys) {
    const LanguageHeader none = ReadLanguageHeader(LanguageFile::Parse("[Menu]\nFile=x\n"));
    EXPECT_EQ(none.language, "unkown???");
    EXPECT_EQ(none.author, "Somebody");
    const LanguageHeader named = ReadLanguageHeader(LanguageFile::Parse("[header]\nlanguage=Deutsch\n"));
    EXPECT_EQ(named.language, "Deutsch");
    EXPECT_EQ(named.author, "Somebody");
}

TEST(LanguageFile, ToolbarAndOptionTextsComeFromTheirSections) {
    const LanguageFile file = LanguageFile::Parse(
        "[ToolbarLabels]\nAbout=Info\nExit=Ende\nOpen=\xD6\x66\x66nen\n"
        "[Tooltips]\nFindPrev=Zur\xFC\x63k\nBrowser2=Bild\nOpen=Laden\n"
        "[OptionCaptions]\nOptions_Title=Optionen\nOptions_Quantization=Farben\n");
    const ToolbarTexts texts = LoadToolbarTexts(file);
    // Slot 0 "Open", slots 1 to 3 missing, slot 4 "Exit", 19 missing, slot 24 "About", then the end.
    const std::string expected = std::string("\xD6\x66\x66nen") + std::string(4, '\0') + "Ende" +
                                 std::string(20, '\0') + "Info" + std::string(2, '\0');
    EXPECT_EQ(JoinToolbarLabels(texts.labels), expected);
    EXPECT_EQ(texts.ToolTip("FindPrev"), "Zur\xFC\x63k");
    EXPECT_EQ(texts.ToolTip("Browser2"), "Bild");
    EXPECT_EQ(texts.ToolTip("Open"), "Laden");
    EXPECT_EQ(texts.ToolTip("FindNext"), "");
    const OptionCaptions captions = LoadOptionCaptions(file);
    EXPECT_EQ(captions.title, "Optionen");
    EXPECT_EQ(captions.quantization, "Farben");
    EXPECT_EQ(captions.filing, "");
}

TEST(LanguageFile, MenusTranslatePopupsByTheirKeysAndItemsByTheirCommands) {
    const LanguageFile file = LanguageFile::Parse(
        "[Menu]\nFile_OpenWith=\xD6\x66\x66nen mit\nView_Image=Bild\nFile_Open=\xD6&\x66\x66nen...\tStrg+O\n"
        "View_Zoom100=Originalgr\xF6\xDF\x65\nView_ShowToolbar=Symbolleiste (Men\xFC)\n"
        "[ContextMenuToolbar]\nShowToolbar=Symbolleiste\nToolbar_Big=Gro\xDF\n");
    const std::span<const MenuNode> main = MainMenuLayout();
    const auto texts = TranslateMenu(file, main, "Menu");
    ASSERT_EQ(texts.size(), main.size());
    EXPECT_EQ(texts[NodeWithKey(main, "File_OpenWith")], "\xD6\x66\x66nen mit");
    EXPECT_EQ(texts[NodeWithKey(main, "View_Image")], "Bild");
    EXPECT_EQ(texts[NodeWithKey(main, "File")], "") << "a missing popup key empties the title";
    EXPECT_EQ(texts[NodeWithCommand(main, command::kOpen)], "\xD6&\x66\x66nen...\tStrg+O");
    EXPECT_EQ(texts[NodeWithCommand(main, command::kSave)], "");
    EXPECT_EQ(texts[NodeWithCommand(main, command::kOpenWithPhotoshop)], std::nullopt);
    EXPECT_EQ(texts[NodeWithCommand(main, command::kResetEditors)], std::nullopt);
    const size_t separator = NodeWithKey(main, "File_OpenWith") + 6;
    ASSERT_EQ(main[separator].kind, MenuNodeKind::kSeparator);
    EXPECT_EQ(texts[separator], std::nullopt);

    const std::span<const MenuNode> viewer = ViewerPopupLayout();
    EXPECT_EQ(TranslateMenu(file, viewer, "Menu")[NodeWithCommand(viewer, command::kOriginalSize)],
              "Originalgr\xF6\xDF\x65")
        << "an item with its own English text still goes by its command";

    const std::span<const MenuNode> toolbar = ToolbarPopupLayout();
    const auto toolbarTexts = TranslateMenu(file, toolbar, "ContextMenuToolbar");
    EXPECT_EQ(toolbarTexts[NodeWithKey(toolbar, "ShowToolbar")], "Symbolleiste") << "the node's key wins";
    EXPECT_EQ(toolbarTexts[NodeWithKey(toolbar, "Toolbar_Big")], "Gro\xDF");
    EXPECT_EQ(toolbarTexts[NodeWithKey(toolbar, "Customize")], "");
    EXPECT_EQ(toolbarTexts[0], std::nullopt) << "the popup itself has no key";
}

TEST(LanguageFile, TheLanguagePathLiesInTheIntlFolder) {
    EXPECT_EQ(LanguagePathFor("Deutsch.ini"), "\\INTL\\Deutsch.ini");
    EXPECT_EQ(LanguagePathFor(""), "");
    EXPECT_EQ(BuiltInEnglish().language, "English (Standard)");
    EXPECT_EQ(BuiltInEnglish().fileName, "");
}

TEST(LanguageFile, TheListingHoldsIniFilesSortedByName) {
    const test::TempFolder folder;
    WriteFile(folder.File("b.ini"), "[Header]\r\nLanguage=Bairisch\r\nAuthor=Sepp\r\n");
    WriteFile(folder.File("Z.ini"), "[Menu]\r\nFile=Datei\r\n");
    WriteFile(folder.File("a.INI"), "[HEADER]\r\nlanguage=Alemannisch\r\n");
    WriteFile(folder.File(".hidden.ini"), "[Header]\r\nLanguage=Hidden\r\n");
    WriteFile(folder.File("notes.txt"), "[Header]\r\nLanguage=Notes\r\n");
    WriteFile(folder.File("ini"), "");
    std::filesystem::create_directory(folder.File("folder.ini"));

    const auto choices = ListLanguageFiles(FileSystemScanner(), folder.path(), [&folder](const std::string& name) {
        return LanguageFile::Load(folder.File(name));
    });
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].fileName, "a.INI");
    EXPECT_EQ(choices[0].language, "Alemannisch");
    EXPECT_EQ(choices[0].author, "Somebody");
    EXPECT_EQ(choices[1].fileName, "b.ini");
    EXPECT_EQ(choices[1].author, "Sepp");
    EXPECT_EQ(choices[2].fileName, "Z.ini") << "without regard to case, unlike a byte order";
    EXPECT_EQ(choices[2].language, "unkown???");
}

// The shipped language files.
LanguageFile Shipped(const std::string& name) {
    return LanguageFile::Load(std::string(MARBLEYE_SOURCE_DIR) + "/win32/resources/INTL/" + name);
}

// The letter after a single '&', lower case (Windows-1252 capitals too), or 0.
char AcceleratorOf(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i + 1]);
        if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
        if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
        return static_cast<char>(c);
    }
    return 0;
}

// Every keyed node translated, and no accelerator twice among the entries of one popup.
void ExpectCompleteMenu(const LanguageFile& file, std::span<const MenuNode> layout, std::string_view section) {
    const auto texts = TranslateMenu(file, layout, section);
    std::vector<std::set<char>> open(1);
    for (size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].kind == MenuNodeKind::kEnd) open.pop_back();
        if (texts[i]) {
            EXPECT_NE(*texts[i], "") << section << " node " << i;
            const char accelerator = AcceleratorOf(*texts[i]);
            if (accelerator != 0) {
                EXPECT_TRUE(open.back().insert(accelerator).second) << *texts[i];
            }
        }
        if (layout[i].kind == MenuNodeKind::kPopup) open.emplace_back();
    }
}

TEST(ShippedLanguageFiles, DeutschTranslatesEveryMenuAndToolbarText) {
    const LanguageFile file = Shipped("Deutsch.ini");
    EXPECT_EQ(ReadLanguageHeader(file).language, "Deutsch");
    ExpectCompleteMenu(file, MainMenuLayout(), "Menu");
    ExpectCompleteMenu(file, ViewerPopupLayout(), "Menu");
    ExpectCompleteMenu(file, ToolbarPopupLayout(), "ContextMenuToolbar");
    const ToolbarTexts toolbar = LoadToolbarTexts(file);
    for (const std::string& label : toolbar.labels) EXPECT_NE(label, "");
    for (const std::string& tip : toolbar.toolTips) EXPECT_NE(tip, "");
    const OptionCaptions captions = LoadOptionCaptions(file);
    for (const std::string* caption : {&captions.title, &captions.fileTypes, &captions.viewer, &captions.browser,
                                       &captions.filing, &captions.quantization, &captions.toolbar}) {
        EXPECT_NE(*caption, "");
    }
    for (const CommandInfo& info : Commands()) {  // the keyboard hints stay
        const size_t tab = info.menuText.find('\t');
        if (info.languageKey.empty() || tab == std::string_view::npos || tab + 1 == info.menuText.size()) continue;
        const std::string text = file.Text("Menu", info.languageKey);
        const size_t germanTab = text.find('\t');
        EXPECT_TRUE(germanTab != std::string::npos && germanTab + 1 < text.size()) << info.languageKey;
    }
}

TEST(ShippedLanguageFiles, TeilweiseLacksTheOpenItem) {
    const LanguageFile file = Shipped("Teilweise.ini");
    EXPECT_EQ(ReadLanguageHeader(file).language, "Teilweise");
    EXPECT_EQ(ReadLanguageHeader(file).author, "Test");
    const std::span<const MenuNode> main = MainMenuLayout();
    const auto texts = TranslateMenu(file, main, "Menu");
    EXPECT_EQ(texts[NodeWithCommand(main, command::kOpen)], "");
    EXPECT_NE(texts[NodeWithCommand(main, command::kExit)], "");
    EXPECT_NE(file.Text("Dlg_About", "VisitHomepage"), "");
    EXPECT_EQ(file.Text("Dlg_About", "WriteEmail"), "");
}

}  // namespace
}  // namespace marbleye
