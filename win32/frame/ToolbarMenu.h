#pragma once

#include <windows.h>

namespace marbleye::win32 {

// The toolbar's context menu ("TOOLBARPOPUP") at the pointer: the toolbar
// itself, tooltips, label mode, size and "Customize...".
void ShowToolbarContextMenu(HWND window, LPARAM position);

}  // namespace marbleye::win32
