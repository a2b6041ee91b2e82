#include "win32/app/MainWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>

#include "commands/CommandList.h"
#include "win32/app/CommandRouter.h"
#include "win32/app/HandOver.h"
#include "win32/app/Program.h"
#include "win32/app/StartupActions.h"
#include "win32/app/Timers.h"
#include "win32/frame/MenuBar.h"
#include "win32/frame/MenuBitmaps.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/frame/StatusBar.h"
#include "win32/frame/Toolbar.h"
#include "win32/frame/ToolbarMenu.h"
#include "win32/imaging/Undo.h"
#include "win32/platform/Messages.h"
#include "win32/resources/resource.h"
#include "win32/settings/ProgramSettings.h"
#include "win32/viewer/ContextMenu.h"
#include "win32/viewer/Loading.h"
#include "win32/viewer/MediaWindow.h"
#include "win32/viewer/Playback.h"
#include "win32/viewer/Slideshow.h"
#include "win32/viewer/Viewer.h"
#include "win32/viewer/ViewerInput.h"

namespace marbleye::win32 {

namespace {

LRESULT OnCreate(HWND window, WPARAM, LPARAM) {
    App().window = window;
    AttachMainMenu(window);
    return 0;
}

LRESULT OnDestroy(HWND, WPARAM, LPARAM) {
    Program& app = App();
    DeleteUndo();
    KillTimer(app.window, kSlideshowTimer);
    DestroyToolbar();
    StopPlayback();
    DestroyMainMenu();
    app.folder.entries.clear();
    // Closed in full screen, the program starts next time in the window's
    // own view style, not in a framed window painted as full screen.
    if (app.fullScreen) app.settings.viewStyle = app.viewStyleBeforeFullScreen;
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
    PlaceMediaWindow(app.display.zoom);
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT OnMove(HWND, WPARAM, LPARAM) {
    PlaceMediaWindow(App().display.zoom);
    return 0;
}

LRESULT OnContextMenu(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto clicked = reinterpret_cast<HWND>(wParam);
    if (clicked && (clicked == App().toolbar || clicked == App().rebar)) ShowToolbarContextMenu(window, lParam);
    else ShowViewerContextMenu(window, lParam);
    return 0;
}

LRESULT OnNotify(HWND window, WPARAM wParam, LPARAM lParam) {
    if (AnswerToolTip(reinterpret_cast<NMHDR*>(lParam))) return 0;
    return DefWindowProcA(window, WM_NOTIFY, wParam, lParam);
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
    if (wParam == static_cast<WPARAM>(command::kAbout)) {
        RunCommand(window, command::kAbout);
        return 0;
    }
    return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnTimer(HWND window, WPARAM wParam, LPARAM) {
    if (wParam == kSlideshowTimer) StepSlideshow(window);
    else if (wParam == kAnimationTimer) ShowNextFrame();
    return 0;
}

// Only the first file dropped is opened, as from the command line.
LRESULT OnDropFiles(HWND window, WPARAM wParam, LPARAM) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    char path[201] = {};
    const UINT length = DragQueryFileA(drop, 0, path, sizeof path);
    DragFinish(drop);
    if (length == 0) return 0;
    OpenPicture(path);
    BringToFront(window);
    UpdateToolbarState();
    UpdateMenuState();
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
    MessageRoute{WM_CONTEXTMENU, &OnContextMenu},     MessageRoute{WM_NOTIFY, &OnNotify},
    MessageRoute{WM_MOVE, &OnMove},             MessageRoute{kMediaModeMessage, &OnMediaModeChanged},
};

// Menus cannot be read from another process under Wine, so the window tells
// automation tools (the GUI tests among them) the state of a menu command.
UINT MenuStateQuery() {
    static const UINT message = RegisterWindowMessageA(kMenuStateQueryMessage);
    return message;
}

UINT MenuTextQuery() {
    static const UINT message = RegisterWindowMessageA(kMenuTextQueryMessage);
    return message;
}

UINT CanvasPixelQuery() {
    static const UINT message = RegisterWindowMessageA(kCanvasPixelQueryMessage);
    return message;
}

LRESULT AnswerCanvasPixel(WPARAM wParam) {
    const ImageCanvas& canvas = App().canvas;
    const int x = LOWORD(wParam), y = HIWORD(wParam);
    if (!canvas.valid() || x >= canvas.width() || y >= canvas.height()) return -1;
    const PixelBuffer row = canvas.CopyRow(24, canvas.height() - 1 - y);
    if (!row) return -1;
    const uint8_t* bgr = row.data() + x * 3;
    return static_cast<LRESULT>((bgr[2] << 16) | (bgr[1] << 8) | bgr[0]);
}

// wParam: the command (or, with 1 in the high word, the main menu's position;
// with 2, a command of the context menu being shown); lParam: a buffer of
// 1024 characters in this process. The result is 0 for no such item, else
// the text's length + 1.
LRESULT AnswerMenuText(WPARAM wParam, LPARAM lParam) {
    const UINT which = LOWORD(wParam), flags = HIWORD(wParam);
    HMENU menu = flags == 2 ? App().trackedPopup : App().menu;
    const UINT how = flags == 1 ? MF_BYPOSITION : MF_BYCOMMAND;
    if (!menu || GetMenuState(menu, which, how) == static_cast<UINT>(-1)) return 0;
    auto* text = reinterpret_cast<char*>(lParam);
    return GetMenuStringA(menu, which, text, 1024, how) + 1;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MenuTextQuery() && message != 0) return AnswerMenuText(wParam, lParam);
    if (message == CanvasPixelQuery() && message != 0) return AnswerCanvasPixel(wParam);
    if (message == MenuStateQuery() && message != 0) {
        HMENU menu = lParam == 1 ? App().trackedPopup : App().menu;
        return static_cast<LRESULT>(GetMenuState(menu, static_cast<UINT>(wParam), MF_BYCOMMAND));
    }
    for (const MessageRoute& route : kRoutes) {
        if (route.message == message) return route.handler(window, wParam, lParam);
    }
    if (HandleViewerInput(window, message, wParam, lParam)) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

void LoadCursors(HINSTANCE instance) {
    HCURSOR* cursors = App().cursors;
    cursors[kCursorHandOpen] = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_OPEN));
    cursors[kCursorHandClosed] = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HAND_CLOSED));
    cursors[kCursorCross] = LoadCursor(nullptr, IDC_CROSS);
    cursors[kCursorSizeNS] = LoadCursor(nullptr, IDC_SIZENS);
    cursors[kCursorSizeWE] = LoadCursor(nullptr, IDC_SIZEWE);
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

    if (!app.settings.showToolbar || !CreateToolbar()) app.toolbarHeight = 0;
    if (app.settings.showStatusbar) CreateStatusBar();
    else app.statusBarHeight = 0;
    UpdateMenuState();

    app.browserMode = app.resizeSuppressed = app.saveDialogInCurrentFolder = false;
    LoadCursors(instance);
    ParseCommandLine(commandLine);
    return true;
}

}  // namespace marbleye::win32
