#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace marbleye {

// A menu as data: items name a command (their text comes from the command
// list unless the node gives its own), popups open a submenu that runs to
// the matching end node.
enum class MenuNodeKind : uint8_t { kItem, kSeparator, kPopup, kEnd };

struct MenuNode {
    MenuNodeKind kind = MenuNodeKind::kItem;
    int32_t command = 0;
    std::string_view text;         // a popup's title, or an item's own text
    std::string_view languageKey;  // a popup's key in a language file's "Menu" section
};

namespace menu_nodes {
constexpr MenuNode Item(int32_t command) { return MenuNode{MenuNodeKind::kItem, command, {}, {}}; }
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

// Commands that no menu shows: they arrive from elsewhere or not at all.
std::span<const int32_t> CommandsWithoutMenuItem();

}  // namespace marbleye
