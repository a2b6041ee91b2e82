#include <windows.h>
#include <commctrl.h>

#include "app/MenuState.h"
#include "app/Program.h"
#include "app/Viewer.h"
#include "commands/CommandIds.h"

namespace marbleye::win32 {

namespace {

constexpr int kMediaKind = 2;

ProgramState Snapshot() {
    const Program& app = App();
    ProgramState state;
    state.canvasValid = app.canvas.valid();
    state.formatId = app.image.formatId;
    state.fileBitDepth = app.image.fileBitDepth;
    state.canvasBitsPerPixel = app.canvas.bitsPerPixel();
    state.animationRunning = app.animationActive == 1 && app.animationKind != kMediaKind;
    state.mediaPlaying = app.animationActive == 1 && app.animationKind == kMediaKind;
    state.folderCount = static_cast<int32_t>(app.folder.entries.size());
    state.browserMode = app.browserMode;
    state.undoAvailable = false;
    state.viewStyle = app.settings.viewStyle;
    state.toolbarShown = app.settings.showToolbar != 0;
    return state;
}

}  // namespace

void UpdateMenuState() {
    const Program& app = App();
    if (!app.menu) return;
    for (const auto& [id, item] : ComputeMenuState(Snapshot())) {
        EnableMenuItem(app.menu, static_cast<UINT>(id), MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
        if (id == command::kFitToWindow || id == command::kFitNone) {
            CheckMenuItem(app.menu, static_cast<UINT>(id), MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
        }
    }
    DrawMenuBar(app.window);
}

void UpdateToolbarState() {
    const Program& app = App();
    if (!app.toolbar || !app.settings.showToolbar) return;
    for (const auto& [id, enabled] : ComputeToolbarState(Snapshot())) {
        SendMessageA(app.toolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELONG(enabled ? TRUE : FALSE, 0));
    }
}

void RefreshAfterChange() {
    UpdateTitleAndStatus();
    UpdateMenuState();
    UpdateToolbarState();
    InvalidateRect(App().window, nullptr, FALSE);
    UpdateWindow(App().window);
}

}  // namespace marbleye::win32
