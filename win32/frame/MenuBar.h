#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Loads the main menu from the resources, attaches it to the window with its
// item pictures; false (after telling the user) when the menu is missing.
bool AttachMainMenu(HWND window);
void DestroyMainMenu();

// The width the menu bar needs, so the window never wraps it.
int MenuBarWidth();

// Widens the window for a moment when its menu bar is wrapped (as in a
// window not yet sized), so that MenuBarWidth measures whole items.
void LayOutMenuBarOnOneLine();

}  // namespace marbleye::win32
