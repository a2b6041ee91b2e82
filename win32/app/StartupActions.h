#pragma once

#include <windows.h>

#include <string>

namespace marbleye::win32 {

// Carries out what the command line asks for.
void ParseCommandLine(const std::string& line);

// A second instance handed its command line over (WM_COPYDATA).
LRESULT ReceiveHandOver(HWND window, const COPYDATASTRUCT* data);

// Puts the window in front; it stays topmost only with "AlwaysOnTop".
void BringToFront(HWND window);

}  // namespace marbleye::win32
