#include "win32/viewer/ViewerCommands.h"

#include "win32/app/Program.h"
#include "win32/viewer/FolderNavigation.h"
#include "win32/viewer/FullScreen.h"
#include "win32/viewer/Slideshow.h"
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

// The window fits the picture at 100 % again, maximized or not.
void ToggleAlwaysMaximize(HWND, int32_t) {
    Program& app = App();
    app.settings.alwaysMaximizeWindow = !app.settings.alwaysMaximizeWindow;
    SizeWindowToImage(app.canvas.width(), app.ShownHeight());
}

void ToggleLockZoom(HWND, int32_t) { App().display.lockZoom = !App().display.lockZoom; }

void StepThroughFolder(HWND window, int32_t id) { Navigate(window, id); }

void SwitchFullScreen(HWND window, int32_t) { ToggleFullScreen(window, false); }

void SwitchSlideshow(HWND window, int32_t) { ToggleSlideshow(window); }

void SetVideoSize(HWND, int32_t id) { App().settings.videoSize = id - command::kVideoNormalSize + 1; }

void ToggleMediaSetting(HWND, int32_t id) {
    AppSettings& settings = App().settings;
    int32_t& setting = id == command::kShowPlaybar ? settings.showPlaybar : settings.loop;
    setting = !setting;
}

}  // namespace marbleye::win32
