#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace marbleye {

// A menu as data: items name a command (their text comes from the command
// list unless the node gives its own), popups open a submenu that runs to
// the matching end node. An item's language key, when the node gives one,
// replaces its command's (menus whose items mean something of their own).
enum class MenuNodeKind : uint8_t { kItem, kSeparator, kPopup, kEnd };

struct MenuNode {
    MenuNodeKind kind = MenuNodeKind::kItem;
    int32_t command = 0;
    std::string_view text;         // a popup's title, or an item's own text
    std::string_view languageKey;  // its key in the menu's section of a language file
};

namespace menu_nodes {
constexpr MenuNode Item(int32_t command) { return MenuNode{MenuNodeKind::kItem, command, {}, {}}; }
constexpr MenuNode ItemNamed(int32_t command, std::string_view text, std::string_view languageKey = {}) {
    return MenuNode{MenuNodeKind::kItem, command, text, languageKey};
}
constexpr MenuNode Separator() { return MenuNode{MenuNodeKind::kSeparator, 0, {}, {}}; }
constexpr MenuNode Popup(std::string_view title, std::string_view languageKey) {
    return MenuNode{MenuNodeKind::kPopup, 0, title, languageKey};
}
constexpr MenuNode End() { return MenuNode{MenuNodeKind::kEnd, 0, {}, {}}; }
}  // namespace menu_nodes

// The menu bar of the main window.
std::span<const MenuNode> MainMenuLayout();

// The viewer's context menu ("VIEWPOPUPMENU"): one popup, tracked at the
// pointer.
std::span<const MenuNode> ViewerPopupLayout();

// The toolbar's context menu ("TOOLBARPOPUP"): one popup. Its items are the
// toolbar's own and reuse identifiers of other commands.
std::span<const MenuNode> ToolbarPopupLayout();

namespace toolbar_menu {
inline constexpr int32_t kShowToolTips = 40082;
inline constexpr int32_t kNoLabels = 40087;
inline constexpr int32_t kLabelsRight = 40088;
inline constexpr int32_t kLabelsBelow = 40089;
inline constexpr int32_t kSmall = 40078;
inline constexpr int32_t kMiddle = 40079;
inline constexpr int32_t kBig = 40080;
inline constexpr int32_t kLarge = 40081;
inline constexpr int32_t kCustomize = 40083;
}  // namespace toolbar_menu

// Commands that no menu shows: they arrive from elsewhere or not at all.
std::span<const int32_t> CommandsWithoutMenuItem();

}  // namespace marbleye
