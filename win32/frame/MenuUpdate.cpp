#include "win32/frame/MenuUpdate.h"

#include <windows.h>
#include <commctrl.h>

#include "commands/MenuState.h"
#include "win32/app/Program.h"
#include "win32/frame/StatusBar.h"
#include "win32/viewer/ScaledDisplay.h"

namespace marbleye::win32 {

namespace {

ProgramState Snapshot() {
    const Program& app = App();
    const AppSettings& s = app.settings;
    ProgramState state;
    state.canvasValid = app.canvas.valid();
    state.formatId = app.image.formatId;
    state.fileBitDepth = app.image.fileBitDepth;
    state.canvasBitsPerPixel = app.canvas.bitsPerPixel();
    state.animationRunning = app.playback.animating();
    state.mediaPlaying = app.playback.mediaPlaying();
    state.folderCount = static_cast<int32_t>(app.folder.entries.size());
    state.browserMode = app.browserMode;
    state.previewStyle = s.thumbViewStyle;
    state.browserListStyle = app.browserListStyle;
    state.undoAvailable = app.undo.available;
    state.viewStyle = s.viewStyle;
    state.toolbarShown = s.showToolbar != 0 && app.toolbar != nullptr;
    state.statusbarShown = s.showStatusbar != 0;
    state.tilesShown = s.viewImageAsTiles != 0;
    state.alwaysMaximize = s.alwaysMaximizeWindow != 0;
    state.useLastWindowPosition = s.lastWinPos != 0;
    state.lockZoom = app.display.lockZoom;
    state.videoSize = s.videoSize;
    state.showPlaybar = s.showPlaybar != 0;
    state.loopMedia = s.loop != 0;
    state.slideshowRunning = app.slideshowRunning;
    state.showToolTips = s.showToolTips != 0;
    state.toolbarLabels = s.showToolbarLabels;
    state.toolbarSize = s.toolbarSize;
    return state;
}

void Apply(HMENU menu, const std::map<int32_t, ItemState>& items) {
    for (const auto& [id, item] : items) {
        EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

}  // namespace

void UpdateMenuState() {
    const Program& app = App();
    if (!app.menu) return;
    Apply(app.menu, ComputeMenuState(Snapshot()));
    DrawMenuBar(app.window);
}

void ApplyViewerPopupState(HMENU popup) { Apply(popup, ComputeViewerPopupState(Snapshot())); }

void ApplyToolbarPopupState(HMENU popup) { Apply(popup, ComputeToolbarPopupState(Snapshot())); }

void UpdateToolbarState() {
    const Program& app = App();
    if (!app.toolbar || !app.settings.showToolbar) return;
    for (const auto& [id, button] : ComputeToolbarState(Snapshot())) {
        SendMessageA(app.toolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELONG(button.enabled ? TRUE : FALSE, 0));
        SendMessageA(app.toolbar, TB_CHECKBUTTON, static_cast<WPARAM>(id), MAKELONG(button.checked ? TRUE : FALSE, 0));
    }
}

void RefreshAfterChange() {
    ForgetResampledPicture();
    UpdateTitleAndStatus();
    UpdateMenuState();
    UpdateToolbarState();
    InvalidateRect(App().window, nullptr, FALSE);
    UpdateWindow(App().window);
}

}  // namespace marbleye::win32
