#include "app/Commands.h"

#include <array>
#include <cstdlib>

#include "app/Loading.h"
#include "app/ProgramSettings.h"
#include "app/Program.h"
#include "app/Viewer.h"
#include "commands/CommandIds.h"
#include "imaging/ColourReduction.h"

namespace marbleye::win32 {

namespace {

using namespace command;

void SetCheck(int id, bool checked) {
    CheckMenuItem(App().menu, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Exit(HWND window, int) { SendMessageA(window, WM_CLOSE, 0, 0); }

void Zoom(HWND, int id) { ZoomCommand(id); }

void SetViewStyle(HWND window, int id) {
    Program& app = App();
    app.settings.viewStyle = id == kFitToWindow ? kViewFitToWindow : kViewFitNone;
    app.display.zoom = 1.0f;
    if (app.settings.viewStyle == kViewFitNone) UpdateScrollState();
    UpdateMenuState();
    InvalidateRect(window, nullptr, FALSE);
}

void ToggleTiles(HWND window, int) {
    Program& app = App();
    app.settings.viewImageAsTiles = !app.settings.viewImageAsTiles;
    SetCheck(kTilemap, app.settings.viewImageAsTiles);
    InvalidateRect(window, nullptr, FALSE);
}

void ToggleMaximize(HWND, int) {
    Program& app = App();
    app.settings.alwaysMaximizeWindow = !app.settings.alwaysMaximizeWindow;
    SetCheck(kAlwaysMaximize, app.settings.alwaysMaximizeWindow);
    SizeWindowToImage(app.canvas.width(), app.canvas.height());
}

void ToggleLastPosition(HWND, int) {
    Program& app = App();
    app.settings.lastWinPos = !app.settings.lastWinPos;
    SetCheck(kUseLastWindowPosition, app.settings.lastWinPos);
}

void SaveWindowPosition(HWND window, int);

// Shows or hides the toolbar or the status bar and fits the window again.
void ToggleBar(HWND window, int id) {
    Program& app = App();
    if (id == kShowToolbar) {
        app.settings.showToolbar = !app.settings.showToolbar;
        if (app.settings.showToolbar) {
            CreateToolbar();
        } else {
            if (app.rebar) DestroyWindow(app.rebar);
            app.rebar = app.toolbar = nullptr;
            app.toolbarHeight = 0;
        }
        SetCheck(kShowToolbar, app.settings.showToolbar);
    } else {
        app.settings.showStatusbar = !app.settings.showStatusbar;
        if (app.settings.showStatusbar) {
            CreateStatusBar();
        } else {
            if (app.statusBar) DestroyWindow(app.statusBar);
            app.statusBar = nullptr;
            app.statusBarHeight = 0;
        }
        SetCheck(kShowStatusbar, app.settings.showStatusbar);
    }
    SizeWindowToCanvas();
    UpdateScrollState();
    RefreshAfterChange();
    InvalidateRect(window, nullptr, FALSE);
}

void ToggleLockZoom(HWND, int) {
    Program& app = App();
    app.display.lockZoom = !app.display.lockZoom;
    SetCheck(kLockZoom, app.display.lockZoom);
}

// Steps through the folder list and loads the entry.
void Navigate(HWND, int id) {
    Program& app = App();
    FolderList& list = app.folder;
    const size_t count = list.entries.size();
    if (count == 0) return;
    switch (id) {
        case kNext: list.position = (list.position + 1) % count; break;
        case kPrevious: list.position = list.position == 0 ? count - 1 : list.position - 1; break;
        case kFirst: if (count >= 2) list.position = 0; break;
        case kLast: if (count >= 2) list.position = count - 1; break;
        case kRandom: if (count >= 2) list.position = static_cast<size_t>(std::rand()) % (count - 1); break;
        default: break;
    }
    const std::string& name = list.entries[list.position].name;
    if (list.fullPaths) {
        LoadIntoViewer(name);
        return;
    }
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    LoadIntoViewer(std::string(folder) + "\\" + name);
}

// The colour-depth commands of the Image menu.
void ConvertDepth(HWND window, int id) {
    Program& app = App();
    if (!app.canvas.valid()) return;
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    switch (id) {
        case kConvertTo4Bit: ConvertCanvasTo16Colours(app.canvas, app.image); break;
        case kConvertTo8Bit:
            ConvertCanvasTo256Colours(app.canvas, app.image,
                                      static_cast<PaletteMethod>(app.settings.dither8bitPalGeneration),
                                      static_cast<DitherType>(app.settings.dither8bitDitherType), &app.host);
            break;
        case kConvertTo16Bit:
            ConvertCanvasToHighColour(app.canvas, app.image,
                                      static_cast<HighColourDither>(app.settings.dither16bitDitherType));
            break;
        default: app.image.fileBitDepth = 24; break;
    }
    SetCursor(previous);
    RefreshAfterChange();
    InvalidateRect(window, nullptr, FALSE);
}

struct CommandRoute {
    int id;
    void (*handler)(HWND, int);
};

constexpr std::array kRoutes = {
    CommandRoute{kExit, &Exit},
    CommandRoute{kZoomIn, &Zoom},
    CommandRoute{kZoomOut, &Zoom},
    CommandRoute{kOriginalSize, &Zoom},
    CommandRoute{kFitToWindow, &SetViewStyle},
    CommandRoute{kFitNone, &SetViewStyle},
    CommandRoute{kTilemap, &ToggleTiles},
    CommandRoute{kAlwaysMaximize, &ToggleMaximize},
    CommandRoute{kUseLastWindowPosition, &ToggleLastPosition},
    CommandRoute{kSaveWindowPosition, &SaveWindowPosition},
    CommandRoute{kLockZoom, &ToggleLockZoom},
    CommandRoute{kShowToolbar, &ToggleBar},
    CommandRoute{kConvertTo4Bit, &ConvertDepth},
    CommandRoute{kConvertTo8Bit, &ConvertDepth},
    CommandRoute{kConvertTo16Bit, &ConvertDepth},
    CommandRoute{kConvertTo24Bit, &ConvertDepth},
    CommandRoute{kShowStatusbar, &ToggleBar},
    CommandRoute{kNext, &Navigate},
    CommandRoute{kPrevious, &Navigate},
    CommandRoute{kFirst, &Navigate},
    CommandRoute{kLast, &Navigate},
    CommandRoute{kRandom, &Navigate},
    CommandRoute{kReload, &Navigate},
};

void SaveWindowPosition(HWND window, int) {
    Program& app = App();
    RECT frame;
    GetWindowRect(window, &frame);
    app.settings.lastWinX = frame.left, app.settings.lastWinY = frame.top;
    app.settings.lastWinW = frame.right - frame.left, app.settings.lastWinH = frame.bottom - frame.top;
    SaveProgramSettings();
}

}  // namespace

bool RunCommand(HWND window, int commandId) {
    for (const CommandRoute& route : kRoutes) {
        if (route.id == commandId) {
            route.handler(window, commandId);
            return true;
        }
    }
    return false;
}

}  // namespace marbleye::win32
