#pragma once

#include <windows.h>

#include <cstdint>

namespace marbleye::win32 {

// Runs a menu, accelerator or toolbar command by asking every subsystem's
// route list in turn, then brings menu and toolbar states up to date; false
// when no subsystem takes the command.
bool RunCommand(HWND window, int32_t commandId);

}  // namespace marbleye::win32
