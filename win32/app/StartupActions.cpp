#include "win32/app/StartupActions.h"

#include <cstring>

#include "app/CommandLine.h"
#include "win32/app/HandOver.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/frame/StatusBar.h"
#include "win32/output/Saving.h"
#include "win32/platform/Paths.h"
#include "win32/viewer/FolderNavigation.h"
#include "win32/viewer/Loading.h"
#include "win32/viewer/FullScreen.h"
#include "win32/viewer/Slideshow.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

void MaximizeForThisRun() {
    App().settings.alwaysMaximizeWindow = 1;
    UpdateMenuState();
}

std::string CurrentDirectory() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

// Loads the picture without moving the window and writes it to the target;
// without a target the save dialog would ask for one.
void Convert(const CommandLineRequest& request) {
    Program& app = App();
    app.resizeSuppressed = true;
    if (!request.hasConvertTarget) app.saveDialogInCurrentFolder = true;
    LoadIntoViewer(request.imagePath);
    if (request.hasConvertTarget) SavePicture(request.convertTarget);
    PostMessageA(app.window, WM_CLOSE, 0, 0);
}

}  // namespace

void ParseCommandLine(const std::string& line) {
    Program& app = App();
    const CommandLineRequest r = ScanCommandLine(line);
    const bool F = r.hasImage;
    if (r.maximize && !r.fullScreen && !r.thumbnails && F) MaximizeForThisRun();
    if (r.convert) {
        if (F) {
            Convert(r);
            return;
        }
    } else if (F && !r.print) {
        OpenPicture(r.imagePath);
        if (app.settings.showFullscreen) ToggleFullScreen(app.window, false);
    }
    if (r.fullScreen && F && !r.thumbnails && !r.print && !r.hasConvertTarget) ToggleFullScreen(app.window, false);
    if (r.print && F) {
        // Printing arrives with the printing module; the picture is loaded
        // and the program closes as it will then.
        app.resizeSuppressed = true;
        OpenPicture(r.imagePath);
        PostMessageA(app.window, WM_CLOSE, 0, 0);
        return;
    }
    if (r.slideshow && !r.thumbnails && !F) {
        const std::string folder = r.hasSlideshowFolder ? r.slideshowFolder : CurrentDirectory();
        SetCurrentDirectoryA(folder.c_str());
        BuildProgramFolderList(std::string(), folder);
        if (r.maximize && !r.fullScreen) MaximizeForThisRun();
        if (r.fullScreen) ToggleFullScreen(app.window, false);
        if (!app.folder.empty()) {
            LoadFolderEntry();
        } else {
            SizeWindowToImage(10, 10);
            UpdateTitleAndStatus();
        }
        StartSlideshow(app.window);
        return;
    }
    if (r.thumbnails && !F) {
        if (r.hasThumbnailFolder) SetCurrentDirectoryA(r.thumbnailFolder.c_str());
        ShowWindow(app.window, SW_SHOWNORMAL);
        return;
    }
    if (F || r.thumbnails || r.slideshow) return;
    SizeWindowToImage(512, 200);
    UpdateTitleAndStatus();
    UpdateToolbarState();
    UpdateMenuState();
}

void BringToFront(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (!App().settings.alwaysOnTop) SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

LRESULT ReceiveHandOver(HWND window, const COPYDATASTRUCT* data) {
    if (!App().settings.useOnlyOneInstance || !data || data->dwData != kHandOverTag || !data->lpData) return 0;
    std::string path(static_cast<const char*>(data->lpData), strnlen(static_cast<const char*>(data->lpData), data->cbData));
    // The payload is one double-quoted path: its last and first characters go.
    if (!path.empty()) path.pop_back();
    if (!path.empty()) path.erase(0, 1);
    OpenPicture(path);
    BringToFront(window);
    UpdateToolbarState();
    UpdateMenuState();
    return 0;
}

}  // namespace marbleye::win32
