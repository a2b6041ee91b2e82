#include "win32/viewer/ContextMenu.h"

#include <windowsx.h>

#include "commands/MenuLayout.h"

#include "win32/app/CommandRouter.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuBitmaps.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/settings/Language.h"

namespace marbleye::win32 {

namespace {

bool SelectionIsEmpty(const RECT& selection) {
    return selection.left == selection.right || selection.top == selection.bottom;
}

// The pointer in screen coordinates; the keyboard's menu key sends -1, -1.
POINT PointerFor(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) GetCursorPos(&at);
    return at;
}

}  // namespace

void ShowViewerContextMenu(HWND window, LPARAM position) {
    Program& app = App();
    if (!SelectionIsEmpty(app.display.selection)) return;
    if (!app.canvas.valid() && !app.playback.mediaPlaying()) return;
    const POINT at = PointerFor(position);
    POINT inClient = at;
    ScreenToClient(window, &inClient);
    RECT client;
    GetClientRect(window, &client);
    if (!PtInRect(&client, inClient)) return;

    HMENU resource = LoadMenuA(app.instance, "VIEWPOPUPMENU");
    if (!resource) return;
    HMENU popup = GetSubMenu(resource, 0);
    SetMenuBitmaps(popup);
    ApplyMenuLanguage(popup, PopupContents(ViewerPopupLayout()), "Menu");
    ApplyViewerPopupState(popup);
    app.trackedPopup = popup;
    const int command = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, window, nullptr);
    app.trackedPopup = nullptr;
    DestroyMenu(resource);
    if (command != 0) {
        app.display.fromPopup = true;
        RunCommand(window, command);
    }
    app.display.fromPopup = false;
}

}  // namespace marbleye::win32
