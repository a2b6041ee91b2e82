#pragma once

#include <windows.h>

namespace marbleye::win32 {

// The viewer's context menu at the pointer (WM_CONTEXTMENU): only without a
// selection, with a picture (or media) shown and the pointer in the window.
void ShowViewerContextMenu(HWND window, LPARAM position);

}  // namespace marbleye::win32
