#include "win32/frame/ToolbarMenu.h"

#include <windowsx.h>

#include "commands/CommandList.h"
#include "commands/MenuLayout.h"
#include "win32/app/CommandRouter.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuBitmaps.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/frame/Toolbar.h"
#include "win32/platform/Messages.h"
#include "win32/settings/Language.h"

namespace marbleye::win32 {

namespace {

using namespace toolbar_menu;

// Carries out a choice of the menu; its identifiers mean toolbar settings
// here, not the commands of the same numbers.
void Choose(HWND window, int32_t id) {
    AppSettings& settings = App().settings;
    switch (id) {
        case command::kShowToolbar: RunCommand(window, command::kShowToolbar); return;
        case kShowToolTips: settings.showToolTips = !settings.showToolTips; break;
        case kNoLabels: settings.showToolbarLabels = 0; break;
        case kLabelsBelow: settings.showToolbarLabels = 1; break;
        case kLabelsRight: settings.showToolbarLabels = 2; break;
        case kSmall: case kMiddle: case kBig: case kLarge: settings.toolbarSize = id - kSmall; break;
        case kCustomize: ReportError("\"Customize...\" is not available yet."); return;
        default: return;
    }
    RebuildToolbar();
}

}  // namespace

void ShowToolbarContextMenu(HWND window, LPARAM position) {
    Program& app = App();
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) GetCursorPos(&at);
    HMENU resource = LoadMenuA(app.instance, "TOOLBARPOPUP");
    if (!resource) return;
    HMENU popup = GetSubMenu(resource, 0);
    SetToolbarMenuBitmaps(popup);
    ApplyMenuLanguage(popup, PopupContents(ToolbarPopupLayout()), "ContextMenuToolbar");
    ApplyToolbarPopupState(popup);
    app.trackedPopup = popup;
    const int chosen = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, window, nullptr);
    app.trackedPopup = nullptr;
    DestroyMenu(resource);
    if (chosen != 0) Choose(window, chosen);
}

}  // namespace marbleye::win32
