#include "win32/dialogs/OpenPictureDialog.h"

#include <commdlg.h>

#include "commands/OpenFilters.h"
#include "win32/app/Program.h"
#include "win32/platform/Paths.h"

namespace marbleye::win32 {

std::string AskForPictureToOpen(HWND owner) {
    Program& app = App();
    static const std::string filters = FilterListForDialog(OpenDialogFilters());
    char path[1024] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrInitialDir = app.settings.lastOpenDir.empty() ? nullptr : app.settings.lastOpenDir.c_str();
    dialog.lpstrTitle = "Marbleye: Load a mediafile";
    dialog.Flags = OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog)) return std::string();
    app.settings.lastOpenDir = FolderOf(path);
    return path;
}

}  // namespace marbleye::win32
