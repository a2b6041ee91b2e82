#include "win32/app/AppCommands.h"

#include "win32/dialogs/AboutDialog.h"

namespace marbleye::win32 {

void Exit(HWND window, int32_t) { SendMessageA(window, WM_CLOSE, 0, 0); }

void ShowAbout(HWND window, int32_t) { ShowAboutDialog(window); }

}  // namespace marbleye::win32
