#include "win32/viewer/ViewerCommands.h"

#include "win32/app/Program.h"
#include "win32/viewer/FolderNavigation.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

void ZoomBy(HWND, int32_t id) { Zoom(id); }

void SetViewStyle(HWND window, int32_t id) {
    Program& app = App();
    app.settings.viewStyle = id == command::kFitToWindow ? kViewFitToWindow : kViewFitNone;
    app.display.zoom = 1.0f;
    if (app.settings.viewStyle == kViewFitNone) UpdateScrollState();
    InvalidateRect(window, nullptr, FALSE);
}

void ToggleTiles(HWND window, int32_t) {
    AppSettings& settings = App().settings;
    settings.viewImageAsTiles = !settings.viewImageAsTiles;
    InvalidateRect(window, nullptr, FALSE);
}

void ToggleAlwaysMaximize(HWND, int32_t) {
    Program& app = App();
    app.settings.alwaysMaximizeWindow = !app.settings.alwaysMaximizeWindow;
    SizeWindowToImage(app.canvas.width(), app.canvas.height());
}

void ToggleLockZoom(HWND, int32_t) { App().display.lockZoom = !App().display.lockZoom; }

void StepThroughFolder(HWND, int32_t id) { Navigate(id); }

}  // namespace marbleye::win32
