#pragma once

#include <windows.h>

namespace marbleye::win32 {

// "ABOUTDLG": the picture, the build line, the credits and the two links.
void ShowAboutDialog(HWND owner);

}  // namespace marbleye::win32
