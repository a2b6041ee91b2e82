#include "win32/files/OpenWithCommands.h"

#include <shlobj.h>

#include <array>
#include <string>

#include "win32/app/Program.h"
#include "win32/platform/Messages.h"
#include "win32/settings/ProgramSettings.h"

namespace marbleye::win32 {

namespace {

struct Editor {
    int32_t command;
    const char* fileName;
    std::string AppSettings::*path;
    const char* notFound;
    bool quotesThePicture;
};

constexpr std::array kEditors = {
    Editor{command::kOpenWithPhotoshop, "photoshp.exe", &AppSettings::openWithPhotoshop,
           "Photoshp.exe could NOT be found. Please check again.", false},
    Editor{command::kOpenWithPaintShopPro, "psp.exe", &AppSettings::openWithPSP,
           "psp.exe could NOT be found. Please check again.", false},
    Editor{command::kOpenWithPhotoPaint, "photopnt.exe", &AppSettings::openWithPhotopaint,
           "photopnt.exe could NOT be found. Please check again.", false},
    Editor{command::kOpenWithMediaPlayer, "wmplayer.exe", &AppSettings::openWithMediaPlayer,
           "wmplayer.exe could NOT be found. Please check again.", true},
    Editor{command::kOpenWithMediaPlayer64, "mplayer2.exe", &AppSettings::openWithMediaPlayer64,
           "mplayer2.exe could NOT be found. Please check again.", false},
};

const Editor* EditorFor(int32_t id) {
    for (const Editor& editor : kEditors) {
        if (editor.command == id) return &editor;
    }
    return nullptr;
}

// The folder the user picks for the editor; empty when the picker is left.
std::string PickFolder(HWND window, const Editor& editor) {
    const std::string title = std::string("Choose the directory where ") + editor.fileName + " can be found.";
    BROWSEINFOA browse{};
    browse.hwndOwner = window;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
    if (!chosen) return std::string();
    char folder[MAX_PATH] = {};
    const bool named = SHGetPathFromIDListA(chosen, folder) != FALSE;
    CoTaskMemFree(chosen);
    return named ? folder : std::string();
}

bool CanBeOpened(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// The editor's path from the settings, or asked for once and remembered.
std::string EditorPath(HWND window, const Editor& editor) {
    std::string& stored = App().settings.*editor.path;
    if (!stored.empty()) return stored;
    const std::string folder = PickFolder(window, editor);
    if (folder.empty()) return std::string();
    const std::string path = folder + "\\" + editor.fileName;
    if (!CanBeOpened(path)) {
        ReportError("%s", editor.notFound);
        return std::string();
    }
    stored = path;
    return path;
}

}  // namespace

void OpenWithEditor(HWND window, int32_t id) {
    const Editor* editor = EditorFor(id);
    const FolderEntry* entry = App().folder.Current();
    if (!editor || !entry) return;
    const std::string path = EditorPath(window, *editor);
    if (path.empty()) return;
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::string picture = std::string(folder) + "\\" + entry->name;
    if (editor->quotesThePicture) picture = "\"" + picture + "\"";
    std::string commandLine = path + " " + picture;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void ForgetEditors(HWND, int32_t) {
    AppSettings& settings = App().settings;
    DeleteSettingsKeys("OpenWith", {"OpenWithPhotoshop", "OpenWithPSP", "OpenWithPhotopaint"});
    settings.openWithPhotoshop.clear();
    settings.openWithPSP.clear();
    settings.openWithPhotopaint.clear();
    ReportError("Successfully rested all directories");
}

}  // namespace marbleye::win32
