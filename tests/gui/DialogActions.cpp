#include "DialogActions.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "DriverSupport.h"

namespace marbleye::gui_driver {

int DialogText(HWND window, int control, double seconds) {
    HWND dialog = ProgramDialog(window, seconds);
    if (!dialog) return Fail("no dialog is open");
    HWND target = control == 0 ? dialog : GetDlgItem(dialog, control);
    if (!target) return Fail("the dialog has no such control");
    // WM_GETTEXT, not GetWindowText: only the message reads an edit
    // field of another process.
    char text[2048] = {};
    SendMessageA(target, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    std::printf("%s\n", text);
    return 0;
}

int DialogPress(HWND window, int control, bool closes) {
    HWND dialog = ProgramDialog(window, 5);
    if (!dialog) return Fail("no dialog is open");
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
    if (!closes) {
        Settle(window);
        return 0;
    }
    for (int i = 0; i < 50 && IsWindow(dialog); ++i) Sleep(100);
    Settle(window);
    return IsWindow(dialog) ? Fail("the dialog stayed open") : 0;
}

int DialogList(HWND window, int control, int column) {
    HWND dialog = ProgramDialog(window, 10);
    HWND list = dialog ? GetDlgItem(dialog, control) : nullptr;
    if (!list) return Fail("no such list");
    RemoteBuffer buffer(window, sizeof(LVITEMA) + 512);
    if (!buffer.valid()) return Fail("cannot reach the program's memory");
    const auto count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer.address() + sizeof(LVITEMA);
        item.cchTextMax = 512;
        buffer.Write(&item, sizeof item);
        const char none = '\0';
        buffer.Write(&none, 1, sizeof(LVITEMA));
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.address()));
        std::printf("%s\n", buffer.ReadText(sizeof(LVITEMA)).c_str());
    }
    return 0;
}

int DialogSelectRow(HWND window, int control, int row, bool doubleClick) {
    HWND dialog = ProgramDialog(window, 10);
    HWND list = dialog ? GetDlgItem(dialog, control) : nullptr;
    if (!list) return Fail("no such list");
    RemoteBuffer buffer(window, sizeof(LVITEMA) + sizeof(NMITEMACTIVATE));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    buffer.Write(&item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.address()));
    if (doubleClick) {
        NMITEMACTIVATE activate{};
        activate.hdr.hwndFrom = list;
        activate.hdr.idFrom = static_cast<UINT_PTR>(control);
        activate.hdr.code = NM_DBLCLK;
        activate.iItem = row;
        buffer.Write(&activate, sizeof activate, sizeof(LVITEMA));
        PostMessageA(dialog, WM_NOTIFY, static_cast<WPARAM>(control),
                     reinterpret_cast<LPARAM>(buffer.address() + sizeof(LVITEMA)));
        Sleep(500);
    }
    Settle(window);
    return 0;
}

int DialogSetText(HWND window, int control, const char* text) {
    HWND dialog = ProgramDialog(window, 10);
    if (!dialog) return Fail("no dialog is open");
    HWND target = GetDlgItem(dialog, control);
    if (!target) return Fail("the dialog has no such control");
    SendMessageA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return 0;
}

int DialogSlider(HWND window, int control, int position) {
    HWND dialog = ProgramDialog(window, 10);
    if (!dialog) return Fail("no dialog is open");
    HWND slider = GetDlgItem(dialog, control);
    if (!slider) return Fail("the dialog has no such control");
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(slider));
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
    return 0;
}

int DialogChoose(HWND window, int control, int row) {
    HWND dialog = ProgramDialog(window, 10);
    if (!dialog) return Fail("no dialog is open");
    HWND combo = GetDlgItem(dialog, control);
    if (!combo || SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0) == CB_ERR) {
        return Fail("the dialog has no such list row");
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return 0;
}

int DialogState(HWND window, int control) {
    HWND dialog = ProgramDialog(window, 10);
    if (!dialog) return Fail("no dialog is open");
    HWND target = GetDlgItem(dialog, control);
    if (!target) return Fail("the dialog has no such control");
    char name[64] = {};
    GetClassNameA(target, name, sizeof name);
    std::string state = IsWindowEnabled(target) ? "enabled" : "disabled";
    state += IsDlgButtonChecked(dialog, control) == BST_CHECKED ? " checked" : " unchecked";
    if (lstrcmpiA(name, "ComboBox") == 0) {
        const LRESULT row = SendMessageA(target, CB_GETCURSEL, 0, 0);
        // A drop-down list's own text is its chosen row's.
        char text[256] = {};
        SendMessageA(target, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        state += " " + (row >= 0 ? std::string(text) : std::string("(none)"));
    }
    if (lstrcmpiA(name, TRACKBAR_CLASSA) == 0) state += " " + std::to_string(SendMessageA(target, TBM_GETPOS, 0, 0));
    std::printf("%s\n", state.c_str());
    return 0;
}

int DialogToggle(HWND window, int control) {
    HWND dialog = ProgramDialog(window, 10);
    if (!dialog) return Fail("no dialog is open");
    HWND button = GetDlgItem(dialog, control);
    if (!button) return Fail("the dialog has no such control");
    SendMessageA(button, BM_CLICK, 0, 0);
    return 0;
}

}  // namespace marbleye::gui_driver
