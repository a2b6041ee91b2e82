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
// Another: wParam x and y (low and high word) of a picture pixel counted from
// the top left, result its colour as 0x00RRGGBB, or -1 outside the picture.
// The picture may lie under other windows (a playing video's, for one).
inline constexpr const char* kCanvasPixelQueryMessage = "MarbleyeCanvasPixel";

// Registers the class, creates the window with toolbar and status bar and
// carries out the command line; false when the window could not be made.
bool CreateMainWindow(HINSTANCE instance, const std::string& commandLine);

}  // namespace marbleye::win32
