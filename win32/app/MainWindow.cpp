#include "app/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>

#include "app/Commands.h"
#include "app/MenuBitmaps.h"
#include "app/Messages.h"
#include "app/Program.h"
#include "app/ProgramSettings.h"
#include "app/StartupActions.h"
#include "app/Viewer.h"
#include "commands/CommandIds.h"
#include "resources/resource.h"

namespace marbleye::win32 {

namespace {

using namespace command;

LRESULT OnCreate(HWND window, WPARAM, LPARAM) {
    Program& app = App();
    app.window = window;
    app.menu = LoadMenuA(app.instance, MAKEINTRESOURCEA(IDM_MAINMENU));
    if (!app.menu) {
        ReportError("Unable to load Menu!");
        return 0;
    }
    SetMenu(window, app.menu);
    SetMenuBitmaps(app.menu);
    return 0;
}

LRESULT OnDestroy(HWND, WPARAM, LPARAM) {
    Program& app = App();
    FreeMenuBitmaps();
    KillTimer(app.window, 1);
    if (app.toolbar) DestroyWindow(app.toolbar);
    if (app.menu) DestroyMenu(app.menu);
    app.menu = nullptr;
    app.folder.entries.clear();
    SaveProgramSettings();
    app.canvas.Clear();
    PostQuitMessage(0);
    return 0;
}

LRESULT OnSize(HWND window, WPARAM, LPARAM) {
    Program& app = App();
    app.display.noEnlarge = false;
    UpdateScrollState();
    if (app.rebar) SendMessageA(app.rebar, WM_SIZE, 0, 0);
    if (app.statusBar) SendMessageA(app.statusBar, WM_SIZE, 0, 0);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT OnPaint(HWND window, WPARAM, LPARAM) {
    PaintViewer(window);
    return 0;
}

LRESULT OnClose(HWND window, WPARAM, LPARAM) {
    DestroyWindow(window);
    return 0;
}

LRESULT OnEraseBackground(HWND, WPARAM, LPARAM) { return 0; }

LRESULT OnMinMaxInfo(HWND, WPARAM, LPARAM lParam) {
    reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = MenuBarWidth();
    return 0;
}

LRESULT OnCopyData(HWND window, WPARAM, LPARAM lParam) {
    return ReceiveHandOver(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM) {
    RunCommand(window, LOWORD(wParam));
    return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (wParam == kAbout) return RunCommand(window, kAbout), 0;
    return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnTimer(HWND window, WPARAM wParam, LPARAM) {
    if (wParam == 1 && App().slideshowRunning && App().folder.entries.size() >= 2) RunCommand(window, kNext);
    return 0;
}

LRESULT OnDropFiles(HWND window, WPARAM wParam, LPARAM) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    char path[201] = {};
    DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    ParseCommandLine(std::string("\"") + path + "\"");
    BringToFront(window);
    return 0;
}

LRESULT OnSysColorChange(HWND, WPARAM, LPARAM) {
    FreeMenuBitmaps();
    SetMenuBitmaps(App().menu);
    return 0;
}

LRESULT OnPaletteChanged(HWND window, WPARAM, LPARAM) {
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    return 0;
}

struct MessageRoute {
    UINT message;
    LRESULT (*handler)(HWND, WPARAM, LPARAM);
};

constexpr std::array kRoutes = {
    MessageRoute{WM_CREATE, &OnCreate},         MessageRoute{WM_DESTROY, &OnDestroy},
    MessageRoute{WM_SIZE, &OnSize},             MessageRoute{WM_PAINT, &OnPaint},
    MessageRoute{WM_CLOSE, &OnClose},           MessageRoute{WM_ERASEBKGND, &OnEraseBackground},
    MessageRoute{WM_GETMINMAXINFO, &OnMinMaxInfo}, MessageRoute{WM_COPYDATA, &OnCopyData},
    MessageRoute{WM_COMMAND, &OnCommand},       MessageRoute{WM_SYSCOMMAND, &OnSysCommand},
    MessageRoute{WM_TIMER, &OnTimer},           MessageRoute{WM_DROPFILES, &OnDropFiles},
    MessageRoute{WM_PALETTECHANGED, &OnPaletteChanged}, MessageRoute{WM_SYSCOLORCHANGE, &OnSysColorChange},
};

// Menus cannot be read from another process under Wine, so the window tells
// automation tools (the GUI tests among them) the state of a menu command.
UINT MenuStateQuery() {
    static const UINT message = RegisterWindowMessageA(kMenuStateQueryMessage);
    return message;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MenuStateQuery() && message != 0) {
        return static_cast<LRESULT>(GetMenuState(App().menu, static_cast<UINT>(wParam), MF_BYCOMMAND));
    }
    for (const MessageRoute& route : kRoutes) {
        if (route.message == message) return route.handler(window, wParam, lParam);
    }
    if (HandleViewerInput(window, message, wParam, lParam)) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

void SetInitialChecks() {
    const Program& app = App();
    const AppSettings& s = app.settings;
    const auto check = [&](int id, bool on) {
        CheckMenuItem(app.menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    check(kTilemap, s.viewImageAsTiles);
    check(kAlwaysMaximize, s.alwaysMaximizeWindow);
    check(kFitToWindow, s.viewStyle == kViewFitToWindow);
    check(kFitNone, s.viewStyle == kViewFitNone);
    check(kUseLastWindowPosition, s.lastWinPos);
    check(kVideoNormalSize, s.videoSize == 1);
    check(kVideoDoubleSize, s.videoSize == 2);
    check(kVideoFullscreen, s.videoSize == 3);
    check(kShowPlaybar, s.showPlaybar);
    check(kLoopMedia, s.loop);
}

}  // namespace

bool CreateMainWindow(HINSTANCE instance, const std::string& commandLine) {
    Program& app = App();
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassA(&windowClass)) {
        ReportFatalError("RegisterClass failed!");
        return false;
    }
    const DWORD exStyle = WS_EX_ACCEPTFILES | (app.settings.alwaysOnTop ? WS_EX_TOPMOST : 0);
    if (!CreateWindowExA(exStyle, kMainWindowClass, "Marbleye", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                         0, 0, 0, 0, nullptr, nullptr, instance, nullptr)) {
        ReportFatalError("Couldn't create Window!");
        return false;
    }
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    app.display.lockZoom = false;

    if (app.settings.showToolbar && CreateToolbar()) {
        CheckMenuItem(app.menu, kShowToolbar, MF_BYCOMMAND | MF_CHECKED);
    } else {
        CheckMenuItem(app.menu, kShowToolbar, MF_BYCOMMAND | MF_UNCHECKED);
        app.toolbarHeight = 0;
    }
    if (app.settings.showStatusbar) {
        CheckMenuItem(app.menu, kShowStatusbar, MF_BYCOMMAND | MF_CHECKED);
        CreateStatusBar();
    } else {
        CheckMenuItem(app.menu, kShowStatusbar, MF_BYCOMMAND | MF_UNCHECKED);
        app.statusBarHeight = 0;
    }
    SetInitialChecks();

    app.browserMode = app.resizeSuppressed = app.saveDialogInCurrentFolder = false;
    app.cursors[kCursorHandOpen] = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_OPEN));
    app.cursors[kCursorHandClosed] = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_CLOSED));
    app.cursors[kCursorCross] = LoadCursor(nullptr, IDC_CROSS);
    app.cursors[kCursorSizeNS] = LoadCursor(nullptr, IDC_SIZENS);
    app.cursors[kCursorSizeWE] = LoadCursor(nullptr, IDC_SIZEWE);
    ParseCommandLine(commandLine);
    return true;
}

}  // namespace marbleye::win32
