#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Mouse, keys and wheel in the viewer; true when the message was handled.
bool HandleViewerInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace marbleye::win32
