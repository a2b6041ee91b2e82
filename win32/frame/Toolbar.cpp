#include "win32/frame/Toolbar.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings/DefaultToolbar.h"
#include "win32/app/Program.h"
#include "win32/platform/Messages.h"
#include "win32/resources/resource.h"

namespace marbleye::win32 {

namespace {

struct ButtonSize {
    int bitmap;
    int width, height;
};

constexpr ButtonSize kSizes[] = {
    {IDB_TOOLBAR_SMALL, 16, 16}, {IDB_TOOLBAR_DEFAULT, 18, 16}, {IDB_TOOLBAR_BIG, 24, 24}, {IDB_TOOLBAR_LARGE, 25, 25}};

}  // namespace

bool CreateToolbar() {
    Program& app = App();
    const AppSettings& settings = app.settings;
    app.rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                    RBS_BANDBORDERS | RBS_TOOLTIPS | CCS_NODIVIDER,
                                0, 0, 0, 0, app.window, nullptr, app.instance, nullptr);
    if (!app.rebar) {
        ReportError("no Rebar");
        return false;
    }
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
                  CCS_NOPARENTALIGN;
    if (settings.useFlatToolBar) style |= TBSTYLE_FLAT;
    if (settings.showToolbarLabels == 2) style |= TBSTYLE_LIST;
    app.toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, app.rebar, nullptr, app.instance,
                                  nullptr);
    if (!app.toolbar) {
        ReportError("Couldn't create Toolbar!");
        return false;
    }
    SendMessageA(app.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const ButtonSize& size = kSizes[std::min(std::max(settings.toolbarSize, 0), 3)];
    SendMessageA(app.toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(size.width, size.height));
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(app.instance, MAKEINTRESOURCEA(size.bitmap), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    TBADDBITMAP images{nullptr, reinterpret_cast<UINT_PTR>(strip)};
    SendMessageA(app.toolbar, TB_ADDBITMAP, 23, reinterpret_cast<LPARAM>(&images));

    std::vector<TBBUTTON> buttons;
    const auto& labels = DefaultToolbarLabels();
    for (int i = 0; i < settings.toolBarButtonCount; ++i) {
        const ToolbarSlot& slot = settings.toolbarSlots[i];
        if (!slot.active) continue;
        TBBUTTON button{};
        button.iBitmap = slot.bitmap;
        button.idCommand = slot.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = slot.command == 0 ? BTNS_SEP : BTNS_BUTTON;
        if (settings.showToolbarLabels != 0 && slot.command != 0) {
            const std::string label(labels[i]);
            std::vector<char> text(label.begin(), label.end());
            text.push_back('\0');
            text.push_back('\0');
            button.iString = SendMessageA(app.toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(text.data()));
        } else {
            button.iString = -1;
        }
        buttons.push_back(button);
    }
    SendMessageA(app.toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(app.toolbar, TB_AUTOSIZE, 0, 0);

    SIZE ideal{};
    SendMessageA(app.toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_COLORS;
    band.fStyle = RBBS_CHILDEDGE;
    band.clrFore = GetSysColor(COLOR_BTNTEXT);
    band.clrBack = GetSysColor(COLOR_BTNFACE);
    band.hwndChild = app.toolbar;
    band.cxMinChild = ideal.cx;
    band.cyMinChild = ideal.cy;
    SendMessageA(app.rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    RECT frame;
    GetWindowRect(app.rebar, &frame);
    app.toolbarHeight = frame.bottom - frame.top;
    return true;
}

void DestroyToolbar() {
    Program& app = App();
    if (app.rebar) DestroyWindow(app.rebar);
    app.rebar = app.toolbar = nullptr;
    app.toolbarHeight = 0;
}

namespace {

// Where a command's button starts, from the toolbar's left edge; 0 when the
// command has no button.
int ToolbarButtonOffset(int32_t commandId) {
    const Program& app = App();
    const LRESULT index = SendMessageA(app.toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(commandId), 0);
    RECT button{};
    if (index < 0 ||
        !SendMessageA(app.toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) {
        return 0;
    }
    return button.left;
}

}  // namespace

void MovePointerToButton(int32_t commandId) {
    const Program& app = App();
    if (app.display.fromPopup || !app.toolbar) return;
    RECT frame;
    GetWindowRect(app.window, &frame);
    SetCursorPos(frame.left + ToolbarButtonOffset(commandId) + 30,
                 frame.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) + 15);
}

}  // namespace marbleye::win32
