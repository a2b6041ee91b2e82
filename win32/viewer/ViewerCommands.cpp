#include "win32/viewer/ViewerCommands.h"

#include "win32/app/Program.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/viewer/FolderNavigation.h"
#include "win32/viewer/FullScreen.h"
#include "win32/viewer/MediaWindow.h"
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

// While media plays: normal and double size fit the window to the video at
// 100 % and 200 %; full screen switches full screen on or off at 100 %.
void SetVideoSize(HWND window, int32_t id) {
    Program& app = App();
    app.settings.videoSize = id - command::kVideoNormalSize + 1;
    if (!app.playback.mediaPlaying()) return;
    app.display.zoom = app.settings.videoSize == 2 ? 2.0f : 1.0f;
    if (app.settings.videoSize == 3) {
        ToggleFullScreen(window, false);
    } else {
        const SIZE size = MediaWindowSize(app.display.zoom);
        SizeWindowToImage(size.cx, size.cy);
    }
    PlaceMediaWindow(app.display.zoom);
    RefreshAfterChange();
}

void ToggleMediaSetting(HWND, int32_t id) {
    Program& app = App();
    AppSettings& settings = app.settings;
    int32_t& setting = id == command::kShowPlaybar ? settings.showPlaybar : settings.loop;
    setting = !setting;
    if (id == command::kShowPlaybar) ShowMediaPlaybar(settings.showPlaybar && !app.fullScreen);
}

}  // namespace marbleye::win32
