#include "win32/viewer/ContextMenu.h"

#include "commands/MenuLayout.h"

#include "win32/app/CommandRouter.h"
#include "win32/app/Program.h"
#include "win32/frame/ContextPopup.h"
#include "win32/frame/MenuBitmaps.h"
#include "win32/frame/MenuUpdate.h"

namespace marbleye::win32 {

namespace {

bool SelectionIsEmpty(const RECT& selection) {
    return selection.left == selection.right || selection.top == selection.bottom;
}

}  // namespace

void ShowViewerContextMenu(HWND window, LPARAM position) {
    Program& app = App();
    if (!SelectionIsEmpty(app.display.selection)) return;
    if (!app.canvas.valid() && !app.playback.mediaPlaying()) return;
    const POINT at = ContextMenuPoint(position);
    POINT inClient = at;
    ScreenToClient(window, &inClient);
    RECT client;
    GetClientRect(window, &client);
    if (!PtInRect(&client, inClient)) return;

    const int command = TrackContextPopup(
        window, at, ContextPopup{"VIEWPOPUPMENU", ViewerPopupLayout(), "Menu", &SetMenuBitmaps, &ApplyViewerPopupState});
    if (command != 0) {
        app.display.fromPopup = true;
        RunCommand(window, command);
    }
    app.display.fromPopup = false;
}

}  // namespace marbleye::win32
