#pragma once

#include <windows.h>

#include <string>

namespace marbleye::win32 {

// A registered message: wParam a command id, result the menu item's state.
inline constexpr const char* kMenuStateQueryMessage = "MarbleyeMenuState";

// Registers the class, creates the window with toolbar and status bar and
// carries out the command line; false when the window could not be made.
bool CreateMainWindow(HINSTANCE instance, const std::string& commandLine);

}  // namespace marbleye::win32
