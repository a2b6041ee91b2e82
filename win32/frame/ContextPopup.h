#pragma once

#include <windows.h>

#include <span>

#include "commands/MenuLayout.h"

namespace marbleye::win32 {

// A context menu made from a menu resource: the layout it was written from,
// the language section that translates it, and how its pictures and check
// marks are set.
struct ContextPopup {
    const char* resourceName;
    std::span<const MenuNode> layout;
    const char* languageSection;
    void (*setBitmaps)(HMENU popup);
    void (*applyState)(HMENU popup);
};

// The pointer in screen coordinates of a WM_CONTEXTMENU; the keyboard's menu
// key sends -1, -1, and then the pointer's place counts.
POINT ContextMenuPoint(LPARAM position);

// Shows the menu at the screen point until the user chooses or leaves it;
// the chosen identifier, 0 for none.
int TrackContextPopup(HWND window, POINT at, const ContextPopup& popup);

}  // namespace marbleye::win32
