#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Switches between the framed window and full screen (view style 2).
// closeIfConfigured is true when Exit or Escape asks: leaving full screen then
// ends the program when "ShowFullscreen" is set.
void ToggleFullScreen(HWND window, bool closeIfConfigured);

}  // namespace marbleye::win32
