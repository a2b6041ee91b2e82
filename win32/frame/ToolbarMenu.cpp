#include "win32/frame/ToolbarMenu.h"

#include "commands/CommandList.h"
#include "commands/MenuLayout.h"
#include "win32/app/CommandRouter.h"
#include "win32/app/Program.h"
#include "win32/frame/ContextPopup.h"
#include "win32/frame/MenuBitmaps.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/frame/Toolbar.h"
#include "win32/platform/Messages.h"

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
    const int chosen = TrackContextPopup(window, ContextMenuPoint(position),
                                         ContextPopup{"TOOLBARPOPUP", ToolbarPopupLayout(), "ContextMenuToolbar",
                                                      &SetToolbarMenuBitmaps, &ApplyToolbarPopupState});
    if (chosen != 0) Choose(window, chosen);
}

}  // namespace marbleye::win32
