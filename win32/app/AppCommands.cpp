#include "win32/app/AppCommands.h"

#include "win32/app/Program.h"
#include "win32/dialogs/AboutDialog.h"
#include "win32/dialogs/OpenPictureDialog.h"
#include "win32/viewer/FullScreen.h"
#include "win32/viewer/Loading.h"

namespace marbleye::win32 {

void OpenFromDialog(HWND window, int32_t) {
    const std::string path = AskForPictureToOpen(window);
    if (!path.empty()) OpenPicture(path);
}

// Escape and Exit leave full screen first.
void Exit(HWND window, int32_t) {
    if (App().fullScreen) ToggleFullScreen(window, true);
    else SendMessageA(window, WM_CLOSE, 0, 0);
}

void ShowAbout(HWND window, int32_t) { ShowAboutDialog(window); }

}  // namespace marbleye::win32
