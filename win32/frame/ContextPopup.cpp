#include "win32/frame/ContextPopup.h"

#include <windowsx.h>

#include "win32/app/Program.h"
#include "win32/settings/Language.h"

namespace marbleye::win32 {

POINT ContextMenuPoint(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) GetCursorPos(&at);
    return at;
}

int TrackContextPopup(HWND window, POINT at, const ContextPopup& shape) {
    Program& app = App();
    HMENU resource = LoadMenuA(app.instance, shape.resourceName);
    if (!resource) return 0;
    HMENU popup = GetSubMenu(resource, 0);
    shape.setBitmaps(popup);
    ApplyMenuLanguage(popup, PopupContents(shape.layout), shape.languageSection);
    shape.applyState(popup);
    app.trackedPopup = popup;
    const int chosen = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, window, nullptr);
    app.trackedPopup = nullptr;
    DestroyMenu(resource);
    return chosen;
}

}  // namespace marbleye::win32
