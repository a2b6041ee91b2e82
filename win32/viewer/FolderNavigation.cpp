#include "win32/viewer/FolderNavigation.h"

#include <cstdlib>

#include "commands/CommandList.h"
#include "win32/app/Program.h"
#include "win32/frame/Toolbar.h"
#include "win32/platform/Win32DirectoryScanner.h"
#include "win32/viewer/Loading.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

using namespace command;

namespace {

std::string CurrentEntryPath() {
    const FolderList& list = App().folder;
    const std::string& name = list.entries[list.position].name;
    if (list.fullPaths) return name;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return std::string(folder) + "\\" + name;
}

}  // namespace

size_t BuildProgramFolderList(const std::string& fileName, const std::string& folder) {
    return BuildFolderList(App().folder, Win32DirectoryScanner(), fileName, folder, false, &CompareNamesLikeTheSystem);
}

void LoadFolderEntry() {
    Program& app = App();
    if (app.folder.empty()) return;
    LoadIntoViewer(CurrentEntryPath());
    UpdateScrollState();
    if (app.fullScreen) {
        SizeWindowToImage(app.canvas.width(), app.ShownHeight());
        InvalidateRect(app.window, nullptr, FALSE);
    }
}

void Navigate(HWND, int32_t commandId) {
    Program& app = App();
    FolderList& list = app.folder;
    const size_t count = list.entries.size();
    if (count == 0) return;
    switch (commandId) {
        case kNext: list.position = (list.position + 1) % count; break;
        case kPrevious: list.position = list.position == 0 ? count - 1 : list.position - 1; break;
        case kFirst: if (count >= 2) list.position = 0; break;
        case kLast: if (count >= 2) list.position = count - 1; break;
        case kRandom: if (count >= 2) list.position = static_cast<size_t>(std::rand()) % (count - 1); break;
        default: break;
    }
    HCURSOR previous = commandId == kReload ? SetCursor(LoadCursor(nullptr, IDC_WAIT)) : nullptr;
    LoadFolderEntry();
    if (previous) SetCursor(previous);
    if (commandId != kReload && !app.fullScreen) {
        MovePointerToButton(commandId == kNext ? kNext : kPrevious);
    }
    app.display.fromPopup = false;
}

}  // namespace marbleye::win32
