#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Applies the enabled, greyed and checked states the program's state decides
// to the main menu and to the toolbar buttons.
void UpdateMenuState();
void UpdateToolbarState();
void ApplyViewerPopupState(HMENU popup);
void ApplyToolbarPopupState(HMENU popup);

// Title and status, menus and toolbar, then an immediate repaint.
void RefreshAfterChange();

}  // namespace marbleye::win32
