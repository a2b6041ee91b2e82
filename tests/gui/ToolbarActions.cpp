#include "ToolbarActions.h"

#include <commctrl.h>

#include <cstdio>

#include "DriverSupport.h"

namespace marbleye::gui_driver {

namespace {

// The band's height, then the toolbar's styles.
int Look(HWND rebar, HWND toolbar) {
    const LONG style = GetWindowLongA(toolbar, GWL_STYLE);
    std::printf("%d%s%s%s\n", HeightOf(rebar), (style & TBSTYLE_TOOLTIPS) ? " tips" : "",
                (style & TBSTYLE_FLAT) ? " flat" : "", (style & TBSTYLE_LIST) ? " list" : "");
    return 0;
}

// Screen x y of the middle of a button.
int Point(HWND window, HWND toolbar, int id) {
    const LRESULT index = SendMessageA(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0);
    RemoteBuffer buffer(window, sizeof(RECT));
    if (index < 0 || !SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(buffer.address()))) {
        return Fail("no such button");
    }
    RECT button{};
    buffer.Read(&button, sizeof button);
    POINT middle{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    ClientToScreen(toolbar, &middle);
    std::printf("%ld %ld\n", static_cast<long>(middle.x), static_cast<long>(middle.y));
    return 0;
}

// The buttons in order by command, "|" for a separator.
int Buttons(HWND window, HWND toolbar) {
    const auto count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    RemoteBuffer buffer(window, sizeof(TBBUTTON));
    std::string list;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.address()));
        buffer.Read(&button, sizeof button);
        if (!list.empty()) list += ' ';
        list += (button.fsStyle & BTNS_SEP) ? std::string("|") : std::to_string(button.idCommand);
    }
    std::printf("%s\n", list.c_str());
    return 0;
}

int Label(HWND window, HWND toolbar, int id) {
    RemoteBuffer buffer(window, 256);
    if (SendMessageA(toolbar, TB_GETBUTTONTEXTA, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(buffer.address())) <
        0) {
        return Fail("no such button");
    }
    std::printf("%s\n", buffer.ReadText().c_str());
    return 0;
}

// "enabled" or "disabled", then "pressed" or "released".
int State(HWND toolbar, int id) {
    const LRESULT state = SendMessageA(toolbar, TB_GETSTATE, static_cast<WPARAM>(id), 0);
    if (state < 0) return Fail("no such button");
    std::printf("%s %s\n", (state & TBSTATE_ENABLED) ? "enabled" : "disabled",
                (state & TBSTATE_CHECKED) ? "pressed" : "released");
    return 0;
}

}  // namespace

int ToolbarAction(HWND window, const std::string& action, int id) {
    HWND rebar = FindWindowExA(window, nullptr, REBARCLASSNAMEA, nullptr);
    HWND toolbar = FindWindowExA(rebar, nullptr, TOOLBARCLASSNAMEA, nullptr);
    if (!toolbar) return Fail("no toolbar");
    if (action == "toolbar-look") return Look(rebar, toolbar);
    if (action == "toolbar-point") return Point(window, toolbar, id);
    if (action == "toolbar-buttons") return Buttons(window, toolbar);
    if (action == "toolbar-label") return Label(window, toolbar, id);
    if (action == "toolbar-state") return State(toolbar, id);
    return Fail("unknown toolbar action");
}

}  // namespace marbleye::gui_driver
