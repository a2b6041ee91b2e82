#include "win32/viewer/FullScreen.h"

#include "win32/app/Program.h"
#include "win32/frame/MenuBar.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/frame/StatusBar.h"
#include "win32/frame/Toolbar.h"
#include "win32/viewer/MediaWindow.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

constexpr LONG kFrameStyles = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

void Enter(HWND window) {
    Program& app = App();
    AppSettings& settings = app.settings;
    app.viewStyleBeforeFullScreen = settings.viewStyle;
    SetMenu(window, nullptr);
    DestroyMainMenu();
    DestroyStatusBar();
    DestroyToolbar();
    SetWindowLongA(window, GWL_STYLE, (GetWindowLongA(window, GWL_STYLE) & ~kFrameStyles) | WS_POPUP);
    settings.viewStyle = kViewFullScreen;
    app.fullScreen = true;
    if (settings.hideTaskBar) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (!settings.showCursor) ShowCursor(FALSE);
    if (settings.thumbViewStyle == 1) app.display.zoom = 1.0f;
    ShowMediaPlaybar(false);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Placed over the whole screen rather than maximized: under X without a
    // window manager a maximized window keeps its old size.
    SetWindowPos(window, nullptr, 0, 0, screenWidth, screenHeight, SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    SendMessageA(window, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(screenWidth, screenHeight));
}

// Returns false when leaving ended the program.
bool Leave(HWND window, bool closeIfConfigured) {
    Program& app = App();
    AppSettings& settings = app.settings;
    SetWindowLongA(window, GWL_STYLE, (GetWindowLongA(window, GWL_STYLE) & ~WS_POPUP) | kFrameStyles);
    settings.viewStyle = app.viewStyleBeforeFullScreen;
    app.fullScreen = false;
    AttachMainMenu(window);
    if (settings.showStatusbar) CreateStatusBar();
    if (settings.showToolbar && !CreateToolbar()) app.toolbarHeight = 0;
    if (!settings.showCursor) ShowCursor(TRUE);
    if (!settings.alwaysOnTop) SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(window, SW_RESTORE);
    if (settings.showFullscreen && closeIfConfigured) {
        LockWindowUpdate(nullptr);
        SendMessageA(window, WM_CLOSE, 0, 0);
        return false;
    }
    ShowMediaPlaybar(settings.showPlaybar != 0);
    if (app.playback.mediaPlaying()) {
        const SIZE size = MediaWindowSize(app.display.zoom);
        SizeWindowToImage(size.cx, size.cy);
    } else {
        SizeWindowToCanvas();
    }
    return true;
}

}  // namespace

void ToggleFullScreen(HWND window, bool closeIfConfigured) {
    LockWindowUpdate(window);
    if (!App().fullScreen) {
        Enter(window);
    } else if (!Leave(window, closeIfConfigured)) {
        return;
    }
    LockWindowUpdate(nullptr);
    UpdateMenuState();
    UpdateToolbarState();
    UpdateTitleAndStatus();
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace marbleye::win32
