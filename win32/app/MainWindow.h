#pragma once

#include <windows.h>

#include <string>

namespace marbleye::win32 {

// A registered message: wParam a command id, result the state of its item in
// the main menu (lParam 0) or in the context menu being shown (lParam 1).
inline constexpr const char* kMenuStateQueryMessage = "MarbleyeMenuState";
// Another: a menu item's text, written into a buffer the asker placed in
// this process (under Wine another process cannot read the program's menus).
inline constexpr const char* kMenuTextQueryMessage = "MarbleyeMenuText";

// Registers the class, creates the window with toolbar and status bar and
// carries out the command line; false when the window could not be made.
bool CreateMainWindow(HINSTANCE instance, const std::string& commandLine);

}  // namespace marbleye::win32
