#include "win32/frame/FrameCommands.h"

#include "settings/DefaultToolbar.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/frame/StatusBar.h"
#include "win32/frame/Toolbar.h"
#include "win32/settings/ProgramSettings.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

// The window fits the picture again once a bar came or went.
void FitAfterBarChange(HWND window) {
    SizeWindowToCanvas();
    UpdateScrollState();
    RefreshAfterChange();
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

void ToggleToolbar(HWND window, int32_t) {
    AppSettings& settings = App().settings;
    settings.showToolbar = !settings.showToolbar;
    if (settings.showToolbar) CreateToolbar();
    else DestroyToolbar();
    FitAfterBarChange(window);
}

void ToggleStatusbar(HWND window, int32_t) {
    AppSettings& settings = App().settings;
    settings.showStatusbar = !settings.showStatusbar;
    if (settings.showStatusbar) CreateStatusBar();
    else DestroyStatusBar();
    FitAfterBarChange(window);
}

void ToggleLastWindowPosition(HWND, int32_t) {
    AppSettings& settings = App().settings;
    settings.lastWinPos = !settings.lastWinPos;
}

void SaveWindowPosition(HWND window, int32_t) {
    AppSettings& settings = App().settings;
    RECT frame;
    GetWindowRect(window, &frame);
    settings.lastWinX = frame.left, settings.lastWinY = frame.top;
    settings.lastWinW = frame.right - frame.left, settings.lastWinH = frame.bottom - frame.top;
    SaveProgramSettings();
}

void RestoreDefaultToolbar(HWND, int32_t) {
    AppSettings& settings = App().settings;
    settings.toolbarSlots = DefaultToolbarSlots();
    settings.toolBarButtonCount = kToolbarSlotCount;
    RebuildToolbar();
}

}  // namespace marbleye::win32
