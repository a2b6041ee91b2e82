#include "win32/platform/Paths.h"

#include <windows.h>

#include <vector>

namespace marbleye::win32 {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

std::string WindowsFolderFile(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + name;
}

std::string FolderOf(const std::string& path) {
    const size_t separator = path.find_last_of('\\');
    return separator == std::string::npos ? path : path.substr(0, separator);
}

std::string FileNameOf(const std::string& path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string ToCorePath(const std::string& windowsPath) {
#ifdef __WINE__
    char full[MAX_PATH * 4] = {};
    if (!GetFullPathNameA(windowsPath.c_str(), sizeof full, full, nullptr)) return windowsPath;
    const int length = MultiByteToWideChar(CP_ACP, 0, full, -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, full, -1, wide.data(), length);
    char* unixPath = wine_get_unix_file_name(wide.data());
    if (!unixPath) return windowsPath;
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
#else
    return windowsPath;
#endif
}

}  // namespace marbleye::win32
