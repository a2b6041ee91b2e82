#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Runs a menu, accelerator or toolbar command; false when no handler takes it.
bool RunCommand(HWND window, int commandId);

}  // namespace marbleye::win32
