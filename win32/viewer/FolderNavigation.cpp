#include "win32/viewer/FolderNavigation.h"

#include <windows.h>

#include <cstdlib>

#include "commands/CommandList.h"
#include "win32/app/Program.h"
#include "win32/platform/Win32DirectoryScanner.h"
#include "win32/viewer/Loading.h"

namespace marbleye::win32 {

using namespace command;

size_t BuildProgramFolderList(const std::string& fileName, const std::string& folder) {
    return BuildFolderList(App().folder, Win32DirectoryScanner(), fileName, folder, false, &CompareNamesLikeTheSystem);
}

void Navigate(int32_t commandId) {
    FolderList& list = App().folder;
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
    const std::string& name = list.entries[list.position].name;
    if (list.fullPaths) {
        LoadIntoViewer(name);
        return;
    }
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    LoadIntoViewer(std::string(folder) + "\\" + name);
}

}  // namespace marbleye::win32
