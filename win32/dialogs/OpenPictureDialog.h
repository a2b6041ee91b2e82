#pragma once

#include <windows.h>

#include <string>

namespace marbleye::win32 {

// "Marbleye: Load a mediafile": the system's open dialog on "LastOpenDir"
// with the 46 file types; the chosen path, or empty when it was left.
std::string AskForPictureToOpen(HWND owner);

}  // namespace marbleye::win32
