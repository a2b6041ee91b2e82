#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "commands/CommandList.h"
#include "commands/KeyboardHelp.h"
#include "commands/MenuLayout.h"
#include "commands/MenuState.h"
#include "commands/OpenFilters.h"
#include "commands/ResourceScript.h"

namespace marbleye {
namespace {

using namespace command;

std::vector<int32_t> MenuItems(std::span<const MenuNode> layout) {
    std::vector<int32_t> ids;
    for (const MenuNode& node : layout) {
        if (node.kind == MenuNodeKind::kItem) ids.push_back(node.command);
    }
    return ids;
}

bool WithoutMenuItem(int32_t id) {
    const auto none = CommandsWithoutMenuItem();
    return std::find(none.begin(), none.end(), id) != none.end();
}

TEST(CommandList, IdentifiersAndNamesAreUnique) {
    std::set<int32_t> ids;
    std::set<std::string_view> constants, keys;
    for (const CommandInfo& info : Commands()) {
        EXPECT_TRUE(ids.insert(info.id).second) << info.id;
        EXPECT_TRUE(constants.insert(info.constantName).second) << info.constantName;
        if (!info.languageKey.empty()) {
            EXPECT_TRUE(keys.insert(info.languageKey).second) << info.languageKey;
        }
        EXPECT_TRUE((info.id >= 200 && info.id <= 217) || info.id >= 40002) << info.id;
    }
    EXPECT_EQ(FindCommand(kSaveAs)->menuText, "Save &as...\tCtrl+S");
    EXPECT_EQ(FindCommand(12345), nullptr);
}

TEST(CommandList, EveryCommandHasExactlyOneMenuItemUnlessListedWithoutOne) {
    const std::vector<int32_t> items = MenuItems(MainMenuLayout());
    for (const CommandInfo& info : Commands()) {
        const auto count = std::count(items.begin(), items.end(), info.id);
        EXPECT_EQ(count, WithoutMenuItem(info.id) ? 0 : 1) << info.constantName;
        EXPECT_EQ(info.menuText.empty(), WithoutMenuItem(info.id)) << info.constantName;
    }
    for (int32_t id : items) EXPECT_NE(FindCommand(id), nullptr) << "a menu item without a command: " << id;
}

TEST(CommandList, EveryMenuCommandHasAnEnableRule) {
    // Rules are written out command by command; a command that none of them
    // names would keep whatever state its item had.
    for (const ProgramState& state : {ProgramState(), [] {
                                          ProgramState s;
                                          s.canvasValid = true, s.folderCount = 5, s.browserMode = true;
                                          return s;
                                      }()}) {
        const auto items = ComputeMenuState(state);
        for (int32_t id : MenuItems(MainMenuLayout())) EXPECT_EQ(items.count(id), 1u) << id;
        for (const auto& [id, item] : items) EXPECT_NE(FindCommand(id), nullptr) << id;
    }
}

TEST(CommandList, PopupsSitWhereLanguageFilesExpectThem) {
    // A language file names submenus by their position in the parent popup.
    std::map<std::string_view, std::pair<std::string_view, int>> found;  // key -> parent key, position
    std::vector<std::pair<std::string_view, int>> open;                   // key, items so far
    int topLevel = 0;
    for (const MenuNode& node : MainMenuLayout()) {
        if (node.kind == MenuNodeKind::kEnd) {
            open.pop_back();
            continue;
        }
        const int position = open.empty() ? topLevel++ : open.back().second++;
        if (node.kind == MenuNodeKind::kPopup) {
            found[node.languageKey] = {open.empty() ? std::string_view() : open.back().first, position};
            open.push_back({node.languageKey, 0});
        }
    }
    const std::map<std::string_view, std::pair<std::string_view, int>> expected = {
        {"File", {"", 0}},           {"File_OpenWith", {"File", 1}},      {"Edit", {"", 1}},
        {"View", {"", 2}},           {"View_Image", {"View", 14}},        {"View_Video", {"View", 15}},
        {"View_Video_VideoSize", {"View_Video", 0}}, {"View_BrowserStyle", {"View", 16}}, {"Image", {"", 3}},
        {"Image_Colors", {"Image", 9}}, {"Image_ColorDepth", {"Image", 10}}, {"Image_Effects", {"Image", 11}},
        {"Tools", {"", 4}},          {"Tools_Wallpaper", {"Tools", 4}},   {"Help", {"", 5}},
    };
    EXPECT_EQ(found, expected);
}

TEST(CommandList, PlainMenuTextDropsMarksAndHints) {
    EXPECT_EQ(PlainMenuText("&Open...\tCtrl+O"), "Open...");
    EXPECT_EQ(PlainMenuText("Original Size \tNUMBLOCK *"), "Original Size");
    EXPECT_EQ(PlainMenuText("Salt && &Pepper"), "Salt & Pepper");
    EXPECT_EQ(PlainMenuText(""), "");
}

TEST(CommandList, TheViewerPopupHoldsItsItemsWithTheWallpaperSubmenuAtThirteen) {
    const auto layout = ViewerPopupLayout();
    ASSERT_EQ(layout.front().kind, MenuNodeKind::kPopup) << "one submenu, tracked at the pointer";
    EXPECT_EQ(layout.back().kind, MenuNodeKind::kEnd);
    const std::vector<int32_t> expected = {kCopyTo, kMoveTo, kDelete, kRename, kNext, kPrevious, kZoomIn, kZoomOut,
                                           kOriginalSize, kLockZoom, kWallpaperCentered, kWallpaperTiled,
                                           kWallpaperStretched, kWallpaperDelete, kFitToWindow, kFitNone, kFullscreen,
                                           kSlideshow, kReload, kPrint, kSaveAs, kBrowse, kOptions};
    EXPECT_EQ(MenuItems(layout), expected);
    int position = 0;
    for (size_t i = 1; i + 1 < layout.size(); ++i, ++position) {
        if (layout[i].kind != MenuNodeKind::kPopup) continue;
        EXPECT_EQ(position, 13) << "a language file names the wallpaper submenu by position";
        EXPECT_EQ(layout[i].languageKey, "Tools_Wallpaper");
        while (layout[i].kind != MenuNodeKind::kEnd) ++i;
    }
    const auto textOf = [&](int32_t id) {
        for (const MenuNode& node : layout) {
            if (node.kind == MenuNodeKind::kItem && node.command == id) return node.text;
        }
        return std::string_view("(missing)");
    };
    EXPECT_EQ(textOf(kOriginalSize), "Zoom 100%");
    EXPECT_EQ(textOf(kFitToWindow), "Auto Size");
    EXPECT_EQ(textOf(kFitNone), "Full Size");
    EXPECT_EQ(textOf(kSaveAs), "Convert...");
    EXPECT_EQ(textOf(kNext), "") << "the main menu's text";
}

TEST(CommandList, TheOpenDialogHasItsFortySixFilters) {
    const auto filters = OpenDialogFilters();
    ASSERT_EQ(filters.size(), 46u);
    EXPECT_EQ(filters[0].description, "Common Filetypes");
    EXPECT_EQ(filters[6].patterns, "*.*");
    EXPECT_EQ(filters[3].patterns, "*.mp3;*.mp2;*.mp1");
    EXPECT_EQ(filters[45].description, "ZBR - Zebra Metafile Preview (*.zbr)");
    for (const FileFilter& filter : filters.subspan(7)) {
        // The image formats show their patterns at the end of the description.
        const std::string_view shown = filter.description.substr(filter.description.rfind('(') + 1);
        std::vector<std::string> listed, given;
        const auto split = [](std::string_view text, std::vector<std::string>& into) {
            for (size_t start = 0; start <= text.size();) {
                const size_t end = std::min(text.find(';', start), text.size());
                into.emplace_back(text.substr(start, end - start));
                start = end + 1;
            }
            std::sort(into.begin(), into.end());
        };
        split(shown.substr(0, shown.size() - 1), listed);
        split(filter.patterns, given);
        EXPECT_EQ(listed, given) << filter.description;
    }
    const std::string list = FilterListForDialog(filters.first(2));
    EXPECT_EQ(list.size(), filters[0].description.size() + filters[0].patterns.size() +
                               filters[1].description.size() + filters[1].patterns.size() + 5);
    EXPECT_EQ(list.substr(list.size() - 2), std::string(2, '\0'));
}

TEST(MenuState, TheViewerPopupFollowsTheViewStyle) {
    ProgramState s;
    s.canvasValid = true;
    auto items = ComputeViewerPopupState(s);
    EXPECT_TRUE(items.at(kFitNone).checked);
    EXPECT_FALSE(items.at(kFitToWindow).checked);
    EXPECT_TRUE(items.at(kLockZoom).enabled);
    s.lockZoom = true;
    EXPECT_TRUE(ComputeViewerPopupState(s).at(kLockZoom).checked);
    s.viewStyle = 1;
    items = ComputeViewerPopupState(s);
    EXPECT_TRUE(items.at(kFitToWindow).checked);
    EXPECT_FALSE(items.at(kZoomIn).enabled);
    EXPECT_FALSE(items.at(kLockZoom).enabled);
    s.viewStyle = 2;
    items = ComputeViewerPopupState(s);
    EXPECT_FALSE(items.at(kFitToWindow).enabled);
    EXPECT_FALSE(items.at(kFitNone).enabled);
    EXPECT_TRUE(items.at(kFullscreen).checked);
    s.viewStyle = 0;
    s.browserMode = true;
    s.previewStyle = 1;
    items = ComputeViewerPopupState(s);
    EXPECT_TRUE(items.at(kFitToWindow).checked) << "the browser's preview style decides";
    EXPECT_FALSE(items.at(kOriginalSize).enabled);
    EXPECT_FALSE(items.at(kSlideshow).enabled);
}

TEST(CommandList, TheKeyListNamesEveryKeyWithItsCommand) {
    using namespace key_strokes;
    EXPECT_EQ(KeyName(Ctrl('O')), "Ctrl+O");
    EXPECT_EQ(KeyName(Shift('S')), "Shift+S");
    EXPECT_EQ(KeyName(Key(vk::kNext)), "Page Down");
    EXPECT_EQ(KeyName(Key('S')), "S");
    EXPECT_EQ(KeyName(Character('*')), "*");
    const std::string text = KeyboardHelpText();
    size_t lines = 0;
    for (const CommandInfo& info : Commands()) {
        for (const KeyStroke& key : info.keys) {
            if (key.empty()) continue;
            ++lines;
            std::string name = KeyName(key);
            name.resize(std::max<size_t>(name.size(), 14), ' ');
            EXPECT_NE(text.find(name + "  " + PlainMenuText(info.menuText) + "\r\n"), std::string::npos) << name;
        }
    }
    EXPECT_EQ(lines, 35u);
    EXPECT_NE(text.find("Space           Next\r\n"), std::string::npos);
}

// A reader of the resource scripts the build compiles, written from the
// resource-script grammar rather than from the writer.
struct ScriptReader {
    std::string text;
    size_t at = 0;

    void SkipBlanks() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    }
    std::string Word() {
        SkipBlanks();
        size_t start = at;
        while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])) && text[at] != ',') ++at;
        return text.substr(start, at - start);
    }
    bool Comma() {
        SkipBlanks();
        return at < text.size() && text[at] == ',' ? (++at, true) : false;
    }
    bool AtQuote() {
        SkipBlanks();
        return at < text.size() && text[at] == '"';
    }
    std::string String() {
        std::string value;
        if (!AtQuote()) {
            ADD_FAILURE() << "a string was expected at " << at;
            return value;
        }
        ++at;
        while (at < text.size()) {
            const char c = text[at++];
            if (c == '"') {
                if (at < text.size() && text[at] == '"') {
                    value += '"', ++at;
                    continue;
                }
                return value;
            }
            if (c != '\\') {
                value += c;
                continue;
            }
            const char escaped = text[at++];
            if (escaped == 't') value += '\t';
            else if (escaped == 'n') value += '\n';
            else if (escaped == '\\') value += '\\';
            else if (escaped == 'x') value += static_cast<char>(std::stoi(text.substr(at, 2), nullptr, 16)), at += 2;
            else ADD_FAILURE() << "unknown escape \\" << escaped;
        }
        ADD_FAILURE() << "unterminated string";
        return value;
    }
};

// The menu as the script describes it, flattened to nodes again.
std::vector<MenuNode> ReadMenu(ScriptReader& script, std::deque<std::string>& texts) {
    std::vector<MenuNode> nodes;
    EXPECT_EQ(script.Word(), "BEGIN");
    for (std::string word = script.Word(); !word.empty(); word = script.Word()) {
        if (word == "BEGIN") continue;
        if (word == "END") {
            nodes.push_back(menu_nodes::End());
        } else if (word == "POPUP") {
            texts.push_back(script.String());
            nodes.push_back(menu_nodes::Popup(texts.back(), {}));
        } else if (word == "MENUITEM") {
            if (!script.AtQuote()) {
                EXPECT_EQ(script.Word(), "SEPARATOR");
                nodes.push_back(menu_nodes::Separator());
                continue;
            }
            texts.push_back(script.String());
            EXPECT_TRUE(script.Comma());
            MenuNode item = menu_nodes::Item(std::stoi(script.Word()));
            item.text = texts.back();
            nodes.push_back(item);
        } else {
            ADD_FAILURE() << "unexpected word " << word;
            break;
        }
    }
    nodes.pop_back();  // the END of the menu itself
    return nodes;
}

TEST(ResourceScript, TheMenuResourceHoldsTheLayoutWithTheListsTexts) {
    ScriptReader script{MenuResourceScript("IDM_MAINMENU", MainMenuLayout())};
    EXPECT_EQ(script.Word(), "IDM_MAINMENU");
    EXPECT_EQ(script.Word(), "MENU");
    std::deque<std::string> texts;
    const std::vector<MenuNode> read = ReadMenu(script, texts);
    const auto layout = MainMenuLayout();
    ASSERT_EQ(read.size(), layout.size());
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].kind, layout[i].kind) << i;
        EXPECT_EQ(read[i].command, layout[i].command) << i;
        const std::string_view expected =
            layout[i].kind == MenuNodeKind::kItem ? FindCommand(layout[i].command)->menuText : layout[i].text;
        EXPECT_EQ(read[i].text, expected) << i;
    }
    // Texts outside ASCII survive the escaping.
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Rotate 90\xB0 &left\tShift+H"), texts.end());
}

TEST(ResourceScript, TheAcceleratorTableHoldsEveryKeyOfTheList) {
    ScriptReader script{AcceleratorResourceScript("IDA_ACCELERATORS")};
    EXPECT_EQ(script.Word(), "IDA_ACCELERATORS");
    EXPECT_EQ(script.Word(), "ACCELERATORS");
    EXPECT_EQ(script.Word(), "BEGIN");
    std::multimap<int32_t, KeyStroke> read;
    while (true) {
        KeyStroke key;
        if (script.AtQuote()) {
            const std::string character = script.String();
            EXPECT_EQ(character.size(), 1u);
            key.key = static_cast<uint16_t>(character[0]);
        } else {
            const std::string word = script.Word();
            if (word == "END") break;
            key.key = static_cast<uint16_t>(std::stoi(word));
        }
        EXPECT_TRUE(script.Comma());
        const int32_t command = std::stoi(script.Word());
        while (script.Comma()) {
            const std::string flag = script.Word();
            if (flag == "ASCII") key.character = true;
            else if (flag == "CONTROL") key.control = true;
            else if (flag == "SHIFT") key.shift = true;
            else EXPECT_EQ(flag, "VIRTKEY");
        }
        read.emplace(command, key);
    }
    std::multimap<int32_t, KeyStroke> expected;
    for (const CommandInfo& info : Commands()) {
        for (const KeyStroke& key : info.keys) {
            if (!key.empty()) expected.emplace(info.id, key);
        }
    }
    EXPECT_EQ(read.size(), 35u) << "the keys of the accelerator table";
    EXPECT_EQ(read, expected);
    // Spot checks of keys that are easy to get wrong.
    const auto has = [&](int32_t command, KeyStroke key) {
        const auto [first, last] = read.equal_range(command);
        return std::any_of(first, last, [&](const auto& entry) { return entry.second == key; });
    };
    EXPECT_TRUE(has(kOriginalSize, KeyStroke{'*', false, false, true}));
    EXPECT_TRUE(has(kPrevious, KeyStroke{0x08, false, false, false})) << "Backspace";
    EXPECT_TRUE(has(kSlideshow, KeyStroke{'S', false, false, false}));
    EXPECT_TRUE(has(kSave, KeyStroke{'S', true, false, false}));
    EXPECT_TRUE(has(kSaveAs, KeyStroke{'S', false, true, false}));
}

}  // namespace
}  // namespace marbleye
