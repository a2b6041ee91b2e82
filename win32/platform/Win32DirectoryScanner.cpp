#include "win32/platform/Win32DirectoryScanner.h"

#include <windows.h>

namespace marbleye::win32 {

namespace {

uint64_t Ticks(const FILETIME& time) { return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

}  // namespace

void Win32DirectoryScanner::Scan(const std::string& folder, std::string_view extension,
                                 const std::function<bool(const FoundFile&)>& visit) const {
    const std::string pattern = folder + "\\*." + (extension.empty() ? std::string("*") : std::string(extension));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        FoundFile file;
        file.name = found.cFileName;
        file.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        file.lastWrite = Ticks(found.ftLastWriteTime);
        file.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        file.hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        if (!visit(file)) break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

int CompareNamesLikeTheSystem(const char* a, const char* b) { return lstrcmpA(a, b); }

}  // namespace marbleye::win32
