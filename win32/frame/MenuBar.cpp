#include "win32/frame/MenuBar.h"

#include <algorithm>

#include "commands/MenuLayout.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuBitmaps.h"
#include "win32/platform/Messages.h"
#include "win32/resources/resource.h"
#include "win32/settings/Language.h"

namespace marbleye::win32 {

bool AttachMainMenu(HWND window) {
    Program& app = App();
    app.menu = LoadMenuA(app.instance, MAKEINTRESOURCEA(IDM_MAINMENU));
    if (!app.menu) {
        ReportError("Unable to load Menu!");
        return false;
    }
    ApplyMenuLanguage(app.menu, MainMenuLayout(), "Menu");
    SetMenu(window, app.menu);
    SetMenuBitmaps(app.menu);
    return true;
}

void DestroyMainMenu() {
    Program& app = App();
    FreeMenuBitmaps();
    if (app.menu) DestroyMenu(app.menu);
    app.menu = nullptr;
}

int MenuBarWidth() {
    const Program& app = App();
    if (!app.menu || !app.window) return 0;
    int width = 0;
    for (int i = 0, count = GetMenuItemCount(app.menu); i < count; ++i) {
        RECT item;
        if (GetMenuItemRect(app.window, app.menu, i, &item)) width += item.right - item.left + 4;
    }
    return width;
}

void LayOutMenuBarOnOneLine() {
    const Program& app = App();
    if (!app.menu || !app.window) return;
    const int count = GetMenuItemCount(app.menu);
    RECT first{}, last{};
    if (count > 0 && GetMenuItemRect(app.window, app.menu, 0, &first) &&
        GetMenuItemRect(app.window, app.menu, count - 1, &last) && first.top == last.top && last.right > last.left) {
        return;
    }
    RECT frame;
    GetWindowRect(app.window, &frame);
    SetWindowPos(app.window, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), std::max<int>(frame.bottom - frame.top, 200),
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    DrawMenuBar(app.window);
}

}  // namespace marbleye::win32
