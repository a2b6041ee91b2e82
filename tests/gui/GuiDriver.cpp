// Drives a running Marbleye from outside, the way the GUI tests need it:
// one action per call, results on stdout, exit code 0 on success.
//
//   wait-window [SECONDS]      wait for the main window
//   wait-gone [SECONDS]        wait until no main window is left
//   count-windows              number of main windows
//   title                      the window title
//   status FIELD               the text of a status-bar field
//   command ID                 send WM_COMMAND with a command id
//   menu-state ID              "enabled" or "grayed", then "checked" or "unchecked"
//   window-rect                left top width height
//   client-size                width height of the client area
//   set-client-size W H        resize the window to that client size
//   pixel X Y                  red green blue of a client-area pixel
//   canvas-pixel X Y           red green blue of the picture's pixel, from its top left, wherever it is shown
//   media-window               "X Y W H bar|nobar" of the media window in the client area, or "none"
//   media-mode                 what the media window does: "playing", "stopped", "paused", ...
//   error-picture TEXT         pixels of the error picture that differ from TEXT drawn as the program does
//   copydata TEXT              hand TEXT over as a second instance would
//   run SECONDS COMMANDLINE    start a program with that very command line, print its exit code
//   key VK                     press and release a virtual key
//   wheel DELTA [ctrl]         turn the mouse wheel
//   close                      close the window
//   activate                   make the main window the active, foreground one
//   post-command ID            post WM_COMMAND (for commands that open a dialog)
//   post-syscommand ID         post WM_SYSCOMMAND
//   dialog-text ID [SECONDS]   text of a control of the program's dialog (ID 0: its caption)
//   dialog-press ID            press a button of the program's dialog, which then closes
//   dialog-click ID            press a button of the program's dialog that keeps it open
//   dialog-count               number of dialogs the program has open
//   dialog-set-text ID TEXT    set the text of a control of the program's dialog
//   dialog-slider ID POS       drag a slider of the program's dialog to POS
//   dialog-choose ID ROW       choose a row of a drop-down list of the program's dialog
//   dialog-state ID            enabled/disabled, checked/unchecked, a list's chosen text, a slider's position
//   dialog-toggle ID           click a check box, radio button or button of the program's dialog
//   popup-state ID             as menu-state, for the context menu being shown
//   menu-text ID               the text of the main menu's item ID
//   menu-title POSITION        the title of the main menu's popup at POSITION
//   popup-text ID              the text of an item of the context menu being shown
//   dialog-list ID COLUMN      the texts of a list column of the program's dialog, one per line
//   dialog-select ID ROW       select a row of a list of the program's dialog
//   dialog-double-click ID ROW double-click a row of a list of the program's dialog
//   popup-shown [SECONDS]      "yes" once a menu is tracked, else "no"
//   context-menu X Y           ask for the context menu at a client point
//   cursor-shown               "yes" or "no": the mouse pointer of the active window
//   window-style               "popup" or "framed", then "topmost" or "normal"
//   toolbar-state ID           "enabled" or "disabled", then "pressed" or "released"
//   toolbar-look               the band's height, then the toolbar's styles: tips, flat, list
//   toolbar-point ID           screen x y of the middle of a button
//   toolbar-buttons            the buttons in order by command, "|" for a separator
//   toolbar-label ID           the label of a button
//   drop FILE...               drop files on the window, as the shell does
//   find-window TITLE [SECONDS]  the title of a top-level window starting with TITLE
//   close-window TITLE         close the top-level windows whose title starts with TITLE
// With MARBLEYE_DRIVER_RECORD set the driver only writes its command line to
// that file: it then stands in for a program Marbleye starts.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DialogActions.h"
#include "DriverSupport.h"
#include "ToolbarActions.h"
#include "win32/app/HandOver.h"
#include "win32/app/MainWindow.h"

namespace {

using namespace marbleye::gui_driver;

constexpr const char* kClass = marbleye::win32::kMainWindowClass;

HWND MainWindow() { return FindWindowA(kClass, nullptr); }

int WaitWindow(double seconds, bool present) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    while (GetTickCount() < deadline) {
        HWND window = MainWindow();
        if (present && window && IsWindowVisible(window)) {
            Settle(window);
            return 0;
        }
        if (!present && !window) return 0;
        Sleep(100);
    }
    return Fail(present ? "no main window appeared" : "the main window did not go away");
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    char name[64];
    if (GetClassNameA(window, name, sizeof name) && std::strcmp(name, kClass) == 0) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Reads a status-bar text through a buffer inside the program's process:
// a text cannot be fetched across processes into our own memory.
int StatusText(HWND window, int field) {
    HWND bar = FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr);
    if (!bar) return Fail("no status bar");
    DWORD processId = 0;
    GetWindowThreadProcessId(bar, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return Fail("cannot open the program's process");
    void* remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(field), reinterpret_cast<LPARAM>(remote));
    char text[4096] = {};
    SIZE_T read = 0;
    ReadProcessMemory(process, remote, text, sizeof text - 1, &read);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    std::printf("%s\n", text);
    return 0;
}

// The program answers its registered query message: another process's menu
// cannot be read directly under Wine.
int MenuState(HWND window, int id, bool popup) {
    DWORD_PTR result = 0;
    const UINT query = RegisterWindowMessageA("MarbleyeMenuState");
    if (!SendMessageTimeoutA(window, query, static_cast<WPARAM>(id), popup ? 1 : 0, SMTO_NORMAL, 5000, &result)) {
        return Fail("the program does not answer");
    }
    const UINT state = static_cast<UINT>(result);
    if (state == static_cast<UINT>(-1)) return Fail("no such menu item");
    std::printf("%s %s\n", (state & (MF_GRAYED | MF_DISABLED)) ? "grayed" : "enabled",
                (state & MF_CHECKED) ? "checked" : "unchecked");
    return 0;
}

int SetClientSize(HWND window, int width, int height) {
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    const int extraWidth = (frame.right - frame.left) - client.right;
    const int extraHeight = (frame.bottom - frame.top) - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, width + extraWidth, height + extraHeight, SWP_NOZORDER);
    Settle(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Settle(window);
    return 0;
}

int Pixel(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    if (colour == CLR_INVALID) return Fail("cannot read the pixel");
    std::printf("%d %d %d\n", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return 0;
}

int CanvasPixel(HWND window, int x, int y) {
    const UINT query = RegisterWindowMessageA(marbleye::win32::kCanvasPixelQueryMessage);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, query, MAKEWPARAM(x, y), 0, SMTO_NORMAL, 5000, &result)) {
        return Fail("the program does not answer");
    }
    if (static_cast<LRESULT>(result) == -1) return Fail("outside the picture");
    std::printf("%d %d %d\n", static_cast<int>((result >> 16) & 0xFF), static_cast<int>((result >> 8) & 0xFF),
                static_cast<int>(result & 0xFF));
    return 0;
}

HWND MediaWindow(HWND window) { return FindWindowExA(window, nullptr, "MCIWndClass", nullptr); }

int MediaWindowPlace(HWND window) {
    HWND media = MediaWindow(window);
    if (!media || !IsWindowVisible(media)) {
        std::printf("none\n");
        return 0;
    }
    RECT frame;
    GetWindowRect(media, &frame);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&frame), 2);
    // The play bar is a toolbar, or a trackbar beside a button.
    HWND bar = FindWindowExA(media, nullptr, TOOLBARCLASSNAMEA, nullptr);
    if (!bar) bar = FindWindowExA(media, nullptr, TRACKBAR_CLASSA, nullptr);
    std::printf("%d %d %d %d %s\n", static_cast<int>(frame.left), static_cast<int>(frame.top),
                static_cast<int>(frame.right - frame.left), static_cast<int>(frame.bottom - frame.top),
                bar && IsWindowVisible(bar) ? "bar" : "nobar");
    return 0;
}

int MediaMode(HWND window) {
    HWND media = MediaWindow(window);
    if (!media) return Fail("no media window");
    RemoteBuffer buffer(window, 128);
    if (!buffer.valid()) return Fail("cannot reach the program's memory");
    DWORD_PTR mode = 0;
    SendMessageTimeoutA(media, MCIWNDM_GETMODEA, 127, reinterpret_cast<LPARAM>(buffer.address()), SMTO_NORMAL, 5000,
                        &mode);
    switch (mode) {
        case MCI_MODE_PLAY: std::printf("playing\n"); break;
        case MCI_MODE_STOP: std::printf("stopped\n"); break;
        case MCI_MODE_PAUSE: std::printf("paused\n"); break;
        case MCI_MODE_NOT_READY: std::printf("not ready\n"); break;
        case MCI_MODE_OPEN: std::printf("open\n"); break;
        default: std::printf("mode %d\n", static_cast<int>(mode)); break;
    }
    return 0;
}

// Starts a program with exactly this command line (as a shell or Explorer
// would pass it) and prints its exit code once it has ended.
int Run(double seconds, const char* commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return Fail("cannot start the program");
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, static_cast<DWORD>(seconds * 1000));
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != WAIT_OBJECT_0) return Fail("the program did not end");
    std::printf("%d\n", static_cast<int>(code));
    return 0;
}

// Compares the picture shown after a failed load with one drawn here the way
// the program draws it: 500 x 200 pixels of the window colour's low byte with
// the text centred in the window-text colour. Prints how many pixels differ.
int ErrorPicture(HWND window, const char* text) {
    constexpr int kWidth = 500, kHeight = 200;
    const int toolbar = HeightOf(FindWindowExA(window, nullptr, REBARCLASSNAMEA, nullptr));
    const int status = HeightOf(FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr));
    RECT client;
    GetClientRect(window, &client);
    POINT origin{(client.right - kWidth) / 2, (toolbar + client.bottom - kHeight - status) / 2};
    ClientToScreen(window, &origin);

    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* expectedBits = nullptr;
    void* shownBits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC expected = CreateCompatibleDC(nullptr);
    HDC shown = CreateCompatibleDC(screen);
    HBITMAP expectedBitmap = CreateDIBSection(expected, &info, DIB_RGB_COLORS, &expectedBits, nullptr, 0);
    HBITMAP shownBitmap = CreateDIBSection(shown, &info, DIB_RGB_COLORS, &shownBits, nullptr, 0);
    HGDIOBJ oldExpected = SelectObject(expected, expectedBitmap);
    HGDIOBJ oldShown = SelectObject(shown, shownBitmap);

    const BYTE fill = static_cast<BYTE>(GetSysColor(COLOR_WINDOW) & 0xFF);
    std::memset(expectedBits, fill, static_cast<size_t>(kWidth) * kHeight * 4);
    RECT area{0, 0, kWidth, kHeight};
    SetTextColor(expected, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(expected, TRANSPARENT);
    DrawTextA(expected, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    BitBlt(shown, 0, 0, kWidth, kHeight, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();

    const DWORD* a = static_cast<const DWORD*>(expectedBits);
    const DWORD* b = static_cast<const DWORD*>(shownBits);
    int differing = 0;
    for (int i = 0; i < kWidth * kHeight; ++i) differing += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);

    SelectObject(expected, oldExpected);
    SelectObject(shown, oldShown);
    DeleteObject(expectedBitmap);
    DeleteObject(shownBitmap);
    DeleteDC(expected);
    DeleteDC(shown);
    ReleaseDC(nullptr, screen);
    std::printf("%d\n", differing);
    return 0;
}

// The program writes a menu text into a buffer of its own memory.
int MenuText(HWND window, int which, int flags) {
    RemoteBuffer buffer(window, 1024);
    if (!buffer.valid()) return Fail("cannot reach the program's memory");
    const UINT query = RegisterWindowMessageA("MarbleyeMenuText");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, query, static_cast<WPARAM>((flags << 16) | which),
                             reinterpret_cast<LPARAM>(buffer.address()), SMTO_NORMAL, 5000, &result) ||
        result == 0) {
        return Fail("no such menu item");
    }
    std::printf("%s\n", buffer.ReadText().c_str());
    return 0;
}

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
    char name[16];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) && std::strcmp(name, "#32768") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND ShownMenu(double seconds) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    do {
        HWND menu = nullptr;
        EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&menu));
        if (menu) return menu;
        Sleep(100);
    } while (GetTickCount() < deadline);
    return nullptr;
}

// Files dropped as the shell drops them: a DROPFILES block, here written
// into the program's own memory, where it takes a dropped handle from.
int Drop(HWND window, int count, char** files) {
    std::string block(sizeof(DROPFILES), '\0');
    for (int i = 0; i < count; ++i) block += std::string(files[i]) + '\0';
    block += '\0';
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    std::memcpy(block.data(), &header, sizeof header);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return Fail("cannot open the program's process");
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    SIZE_T written = 0;
    WriteProcessMemory(process, remote, block.data(), block.size(), &written);
    CloseHandle(process);
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    Sleep(300);
    Settle(window);
    return 0;
}

struct TitleSearch {
    const char* prefix;
    HWND found;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<TitleSearch*>(lParam);
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && std::strncmp(title, search->prefix, std::strlen(search->prefix)) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND TitledWindow(const char* prefix, double seconds) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    do {
        TitleSearch search{prefix, nullptr};
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(100);
    } while (GetTickCount() < deadline);
    return nullptr;
}

int RecordCommandLine(const char* file) {
    std::FILE* out = std::fopen(file, "wb");
    if (!out) return 1;
    std::fputs(GetCommandLineA(), out);
    std::fclose(out);
    return 0;
}

int CopyData(HWND window, const char* text) {
    char buffer[marbleye::win32::kHandOverSize] = {};
    std::strncpy(buffer, text, sizeof buffer - 1);
    COPYDATASTRUCT data{marbleye::win32::kHandOverTag, sizeof buffer, buffer};
    DWORD_PTR result;
    SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 10000, &result);
    Settle(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* record = std::getenv("MARBLEYE_DRIVER_RECORD")) return RecordCommandLine(record);
    if (argc < 2) return Fail("no action");
    const std::string action = argv[1];
    const auto number = [&](int i) { return i < argc ? std::atoi(argv[i]) : 0; };
    if (action == "run") return argc > 3 ? Run(std::atof(argv[2]), argv[3]) : Fail("run SECONDS COMMANDLINE");
    if (action == "wait-window") return WaitWindow(argc > 2 ? std::atof(argv[2]) : 20, true);
    if (action == "wait-gone") return WaitWindow(argc > 2 ? std::atof(argv[2]) : 20, false);
    if (action == "find-window" || action == "close-window") {
        if (argc < 3) return Fail("a title is needed");
        HWND found = TitledWindow(argv[2], action == "close-window" ? 0 : (argc > 3 ? std::atof(argv[3]) : 10));
        if (!found) return Fail("no such window");
        char title[512] = {};
        GetWindowTextA(found, title, sizeof title);
        if (action == "close-window") PostMessageA(found, WM_CLOSE, 0, 0);
        else std::printf("%s\n", title);
        return 0;
    }
    if (action == "popup-shown") {
        std::printf("%s\n", ShownMenu(argc > 2 ? std::atof(argv[2]) : 5) ? "yes" : "no");
        return 0;
    }
    if (action == "count-windows") {
        int count = 0;
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
        std::printf("%d\n", count);
        return 0;
    }
    HWND window = MainWindow();
    if (!window) return Fail("no main window");
    Settle(window);
    if (action == "title") {
        char title[1024] = {};
        GetWindowTextA(window, title, sizeof title);
        std::printf("%s\n", title);
        return 0;
    }
    if (action == "status") return StatusText(window, number(2));
    if (action == "command") {
        DWORD_PTR result;
        SendMessageTimeoutA(window, WM_COMMAND, static_cast<WPARAM>(number(2)), 0, SMTO_NORMAL, 10000, &result);
        Settle(window);
        return 0;
    }
    if (action == "menu-state") return MenuState(window, number(2), false);
    if (action == "popup-state") return MenuState(window, number(2), true);
    if (action == "menu-text") return MenuText(window, number(2), 0);
    if (action == "menu-title") return MenuText(window, number(2), 1);
    if (action == "popup-text") return MenuText(window, number(2), 2);
    if (action == "dialog-list") return DialogList(window, number(2), number(3));
    if (action == "dialog-select" || action == "dialog-double-click") {
        return DialogSelectRow(window, number(2), number(3), action == "dialog-double-click");
    }
    if (action == "dialog-set-text") return DialogSetText(window, number(2), argc > 3 ? argv[3] : "");
    if (action == "dialog-slider") return DialogSlider(window, number(2), number(3));
    if (action == "dialog-choose") return DialogChoose(window, number(2), number(3));
    if (action == "dialog-state") return DialogState(window, number(2));
    if (action == "dialog-toggle") return DialogToggle(window, number(2));
    if (action == "drop") return Drop(window, argc - 2, argv + 2);
    if (action == "context-menu") {
        POINT at{number(2), number(3)};
        ClientToScreen(window, &at);
        PostMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(at.x, at.y));
        return 0;
    }
    if (action == "cursor-shown") {
        CURSORINFO info{};
        info.cbSize = sizeof info;
        if (!GetCursorInfo(&info)) return Fail("no cursor information");
        std::printf("%s\n", (info.flags & CURSOR_SHOWING) ? "yes" : "no");
        return 0;
    }
    if (action.starts_with("toolbar-")) return ToolbarAction(window, action, number(2));
    if (action == "window-style") {
        const LONG style = GetWindowLongA(window, GWL_STYLE), extended = GetWindowLongA(window, GWL_EXSTYLE);
        std::printf("%s %s\n", (style & WS_POPUP) && !(style & WS_CAPTION) ? "popup" : "framed",
                    (extended & WS_EX_TOPMOST) ? "topmost" : "normal");
        return 0;
    }
    if (action == "window-rect") {
        RECT r;
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
                    static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
        return 0;
    }
    if (action == "client-size") {
        RECT r;
        GetClientRect(window, &r);
        std::printf("%ld %ld\n", static_cast<long>(r.right), static_cast<long>(r.bottom));
        return 0;
    }
    if (action == "set-client-size") return SetClientSize(window, number(2), number(3));
    if (action == "pixel") return Pixel(window, number(2), number(3));
    if (action == "canvas-pixel") return CanvasPixel(window, number(2), number(3));
    if (action == "media-window") return MediaWindowPlace(window);
    if (action == "media-mode") return MediaMode(window);
    if (action == "error-picture") return ErrorPicture(window, argc > 2 ? argv[2] : "");
    if (action == "copydata") return CopyData(window, argc > 2 ? argv[2] : "");
    if (action == "key") {
        SendMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(number(2)), 0);
        SendMessageA(window, WM_KEYUP, static_cast<WPARAM>(number(2)), 0);
        Settle(window);
        return 0;
    }
    if (action == "wheel") {
        const bool ctrl = argc > 3 && std::strcmp(argv[3], "ctrl") == 0;
        SendMessageA(window, WM_MOUSEWHEEL, MAKEWPARAM(ctrl ? MK_CONTROL : 0, number(2)), 0);
        Settle(window);
        return 0;
    }
    if (action == "post-command" || action == "post-syscommand") {
        PostMessageA(window, action == "post-command" ? WM_COMMAND : WM_SYSCOMMAND, static_cast<WPARAM>(number(2)), 0);
        return 0;
    }
    if (action == "dialog-text") return DialogText(window, number(2), argc > 3 ? std::atof(argv[3]) : 10);
    if (action == "dialog-press" || action == "dialog-click") return DialogPress(window, number(2), action == "dialog-press");
    if (action == "dialog-count") {
        int count = 0;
        ProgramDialog(window, 0, &count);
        std::printf("%d\n", count);
        return 0;
    }
    if (action == "activate") {
        SetForegroundWindow(window);
        Settle(window);
        return 0;
    }
    if (action == "close") {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return Fail("unknown action");
}
