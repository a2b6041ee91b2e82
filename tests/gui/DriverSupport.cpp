#include "DriverSupport.h"

#include <cstdio>

namespace marbleye::gui_driver {

int Fail(const char* message) {
    std::fprintf(stderr, "gui-driver: %s\n", message);
    return 1;
}

void Settle(HWND window) {
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

int HeightOf(HWND window) {
    RECT r{};
    if (window) GetWindowRect(window, &r);
    return r.bottom - r.top;
}

namespace {

struct DialogSearch {
    HWND owner;
    HWND found;
    int count;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    char name[64];
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner &&
        GetClassNameA(window, name, sizeof name) && std::strcmp(name, "#32770") == 0) {
        if (!search->found) search->found = window;
        ++search->count;
    }
    return TRUE;
}

}  // namespace

HWND ProgramDialog(HWND window, double seconds, int* count) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    do {
        DialogSearch search{window, nullptr, 0};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (count) *count = search.count;
        if (search.found || count) return search.found;
        Sleep(100);
    } while (GetTickCount() < deadline);
    return nullptr;
}

}  // namespace marbleye::gui_driver
