#include "win32/viewer/Viewer.h"

#include <algorithm>

#include "app/WindowLayout.h"
#include "app/Zoom.h"
#include "commands/CommandList.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuBar.h"
#include "win32/frame/StatusBar.h"
#include "win32/frame/Toolbar.h"
#include "win32/platform/Messages.h"
#include "win32/viewer/ScaledDisplay.h"

namespace marbleye::win32 {

namespace {

WindowMetrics CurrentMetrics() {
    const Program& app = App();
    WindowMetrics metrics;
    metrics.captionHeight = GetSystemMetrics(SM_CYCAPTION);
    metrics.menuHeight = GetSystemMetrics(SM_CYMENU);
    metrics.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    metrics.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    metrics.fullScreenClientHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    metrics.toolbarHeight = app.toolbarHeight;
    metrics.statusBarHeight = app.statusBarHeight;
    metrics.menuBarWidth = MenuBarWidth();
    return metrics;
}

void FillBlack(HDC dc, int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top) return;
    RECT band{left, top, right, bottom};
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// Black around the rectangle x, y, w, h inside the area.
void PaintBands(HDC dc, const RECT& area, int x, int y, int w, int h) {
    FillBlack(dc, area.left, area.top, area.right, y);
    FillBlack(dc, area.left, y + h, area.right, area.bottom);
    FillBlack(dc, area.left, y, x, y + h);
    FillBlack(dc, x + w, y, area.right, y + h);
}

// The canvas into the rectangle: a playing GIF shows one cell of its strip.
// At 100 % only the part inside the client area is copied.
void DrawCanvasClipped(HDC dc, const RECT& client, int x, int y, int w, int h) {
    const Program& app = App();
    w = std::max(w, 1), h = std::max(h, 1);
    if (DrawResampled(dc, x, y, w, h)) return;
    int sx = 0, sy = 0, sw = app.canvas.width(), sh = app.ShownHeight();
    if (app.playback.active && app.playback.kind == AnimationKind::kGif) {
        sy = (app.playback.currentFrame - 1) * app.playback.cellHeight;
    }
    if (app.display.zoom == 1.0f) {
        if (x < 0) sx = -x, w += x, sw += x, x = 0;
        if (y < 0) sy -= y, h += y, sh += y, y = 0;
        if (x + w > client.right) w = sw = client.right - x;
        if (y + h > client.bottom) h = sh = client.bottom - y;
        if (w <= 0 || h <= 0) return;
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchPart(app.allocator, dc, x, y, w, h, sx, sy, sw, sh, SRCCOPY);
}

void DrawSelectionFrame(HDC dc, const RECT& selection) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush =
        SelectObject(dc, GetStockObject(App().settings.inverseRect ? BLACK_BRUSH : HOLLOW_BRUSH));
    const int oldMode = SetROP2(dc, R2_NOTXORPEN);
    Rectangle(dc, selection.left, selection.top, selection.right, selection.bottom);
    SetROP2(dc, oldMode);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// "path  (position/count)" near the bottom of the screen.
void DrawFileNameLine(HDC dc) {
    const Program& app = App();
    if (!app.settings.showFilename) return;
    char text[1200];
    wsprintfA(text, "%s  (%d/%d)", app.currentPath.c_str(), static_cast<int>(app.folder.position) + 1,
              static_cast<int>(app.folder.entries.size()));
    if (app.settings.showFilenameTransparent) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 255, 0));
    } else {
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, RGB(0, 0, 0));
    }
    TextOutA(dc, 5, GetSystemMetrics(SM_CYSCREEN) - 25, text, lstrlenA(text));
}

void PaintTiles(HDC dc, int w, int h) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT client;
    GetClientRect(App().window, &client);
    for (int y = App().toolbarHeight; y <= screenHeight; y += h) {
        for (int x = 0; x <= screenWidth; x += w) DrawCanvasClipped(dc, client, x, y, w, h);
    }
}

}  // namespace

void SizeWindowToImage(int displayWidth, int displayHeight) {
    Program& app = App();
    if (app.browserMode || app.resizeSuppressed || !app.window) return;
    WindowModes modes;
    modes.viewStyle = app.settings.viewStyle;
    modes.fullScreen = app.fullScreen;
    modes.alwaysMaximize = app.settings.alwaysMaximizeWindow != 0;
    modes.useLastPosition = app.settings.lastWinPos != 0;
    modes.lastX = app.settings.lastWinX, modes.lastY = app.settings.lastWinY;
    modes.lastWidth = app.settings.lastWinW, modes.lastHeight = app.settings.lastWinH;
    LayOutMenuBarOnOneLine();
    const WindowPlacement placement = PlaceWindowForImage(displayWidth, displayHeight, CurrentMetrics(), modes);
    SetWindowPos(app.window, nullptr, placement.x, placement.y, placement.width, placement.height,
                 SWP_NOZORDER | SWP_SHOWWINDOW);
    app.display.noEnlarge = placement.noEnlarge;
    if (modes.useLastPosition) UpdateScrollState();
}

void SizeWindowToCanvas() {
    const Program& app = App();
    SizeWindowToImage(static_cast<int>(app.canvas.width() * app.display.zoom),
                      static_cast<int>(app.ShownHeight() * app.display.zoom));
}

void UpdateScrollState() {
    Program& app = App();
    RECT client;
    GetClientRect(app.window, &client);
    const int viewWidth = client.right;
    const int viewHeight = client.bottom - app.toolbarHeight - app.statusBarHeight;
    DisplayState& d = app.display;
    d.canScrollY = viewHeight < app.ShownHeight() * d.zoom;
    if (!d.canScrollY) d.scrollY = 0;
    d.canScrollX = viewWidth < app.canvas.width() * d.zoom;
    if (!d.canScrollX) d.scrollX = 0;
}

// Keeps the picture's edges from moving inside the viewing area.
void ClampScrollOffsets() {
    Program& app = App();
    DisplayState& d = app.display;
    RECT client;
    GetClientRect(app.window, &client);
    const int w = static_cast<int>(app.canvas.width() * d.zoom), h = static_cast<int>(app.ShownHeight() * d.zoom);
    const int top = app.toolbarHeight, bottom = static_cast<int>(client.bottom) - app.statusBarHeight;
    const int maxX = std::max(0, (w - static_cast<int>(client.right)) / 2 + 1);
    const int maxY = std::max(0, (h - (bottom - top)) / 2 + 1);
    d.scrollX = d.canScrollX ? std::clamp(d.scrollX, -maxX, maxX) : 0;
    d.scrollY = d.canScrollY ? std::clamp(d.scrollY, -maxY, maxY) : 0;
}

namespace {

// Where the picture goes at the current zoom: centred, moved by the scroll
// offsets, and kept from leaving a gap at an edge while scrolled.
RECT ZoomedPlacement(const RECT& client, int T, int S) {
    const Program& app = App();
    const DisplayState& d = app.display;
    const int w = static_cast<int>(app.canvas.width() * d.zoom), h = static_cast<int>(app.ShownHeight() * d.zoom);
    int x = (client.right - w) / 2 + d.scrollX;
    int y = (T + client.bottom - h - S) / 2 + d.scrollY;
    const int bottom = client.bottom - S;
    if (d.scrollX != 0 && x + w < client.right) x = client.right - w;
    if (d.scrollX != 0 && x > 0) x = 0;
    if (d.scrollY != 0 && y + h < bottom) y = bottom - h;
    if (d.scrollY != 0 && y > T) y = T;
    return RECT{x, y, x + w, y + h};
}

// Fit none (and full screen with "FullSize"): black bands on the sides that
// cannot scroll.
void PaintAtZoom(HDC dc, const RECT& client, const RECT& viewing, const RECT& at) {
    const DisplayState& d = App().display;
    const int top = viewing.top, bottom = viewing.bottom;
    if (!d.canScrollY) {
        FillBlack(dc, 0, top, client.right, at.top);
        FillBlack(dc, 0, at.bottom, client.right, bottom);
    }
    if (!d.canScrollX) {
        FillBlack(dc, 0, std::max<int>(at.top, top), at.left, std::min<int>(at.bottom, bottom));
        FillBlack(dc, at.right, std::max<int>(at.top, top), client.right, std::min<int>(at.bottom, bottom));
    }
    DrawCanvasClipped(dc, client, at.left, at.top, at.right - at.left, at.bottom - at.top);
}

void PaintFitted(HDC dc, const RECT& client, const RECT& viewing, const FitResult& fit) {
    PaintBands(dc, viewing, fit.x, fit.y, fit.width, fit.height);
    DrawCanvasClipped(dc, client, fit.x, fit.y, fit.width, fit.height);
}

void DrawSelection(HDC dc, int originX, int originY, int T) {
    const RECT& s = App().display.selection;
    if (std::abs(s.right - s.left) < 3 && std::abs(s.bottom - s.top) < 3) return;
    DrawSelectionFrame(dc, s);
    char text[96];
    wsprintfA(text, "(%d, %d | %d, %d)", std::min(s.left, s.right) - originX, std::min(s.top, s.bottom) - originY,
              std::abs(s.right - s.left), std::abs(s.bottom - s.top));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 200, 0));
    TextOutA(dc, 5, T + 5, text, lstrlenA(text));
}

}  // namespace

void PaintViewer(HWND window) {
    Program& app = App();
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc) {
        ReportError("No BeginPaint!");
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    const int T = app.toolbarHeight, S = app.statusBarHeight;
    const RECT viewing{0, T, client.right, client.bottom - S};
    if (!app.canvas.valid() || app.resizeSuppressed) {
        FillBlack(dc, viewing.left, viewing.top, viewing.right, viewing.bottom);
        EndPaint(window, &paint);
        return;
    }
    if (GetDisplayDepth() <= 8 && app.allocator.palette()) {
        SelectPalette(dc, app.allocator.palette(), FALSE);
        RealizePalette(dc);
    }
    DisplayState& d = app.display;
    RECT at = ZoomedPlacement(client, T, S);
    const int style = app.settings.viewStyle;
    if (app.settings.viewImageAsTiles) {
        PaintTiles(dc, std::max<int>(at.right - at.left, 1), std::max<int>(at.bottom - at.top, 1));
        DrawFileNameLine(dc);
    } else if (style == kViewFitToWindow) {
        const FitResult fit =
            FitImageToArea(client.right, client.bottom, T, S, app.canvas.width(), app.ShownHeight(), d.noEnlarge);
        PaintFitted(dc, client, viewing, fit);
        at = RECT{fit.x, fit.y, fit.x + fit.width, fit.y + fit.height};
        if (d.zoom != fit.zoom) {
            d.zoom = fit.zoom;
            UpdateTitleAndStatus();
        }
    } else if (style == kViewFullScreen && !app.settings.fullSize) {
        const FitResult fit = FitImageToScreen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                               app.canvas.width(), app.ShownHeight(), app.settings.stretchSmall != 0);
        PaintFitted(dc, client, viewing, fit);
        at = RECT{fit.x, fit.y, fit.x + fit.width, fit.y + fit.height};
        DrawFileNameLine(dc);
    } else {
        PaintAtZoom(dc, client, viewing, at);
        if (style == kViewFullScreen) DrawFileNameLine(dc);
    }
    d.originX = at.left, d.originY = at.top, d.shownWidth = at.right - at.left, d.shownHeight = at.bottom - at.top;

    if (style != kViewFullScreen) {
        MoveToEx(dc, 0, T, nullptr);
        LineTo(dc, client.right - 1, T);
        LineTo(dc, client.right - 1, viewing.bottom - 1);
        LineTo(dc, 0, viewing.bottom - 1);
        LineTo(dc, 0, T);
    }
    DrawSelection(dc, at.left, at.top, T);
    EndPaint(window, &paint);
}

void Zoom(int32_t commandId) {
    Program& app = App();
    DisplayState& d = app.display;
    switch (commandId) {
        case command::kZoomIn: d.zoom = ZoomIn(d.zoom, app.settings.viewStyle); break;
        case command::kZoomOut: d.zoom = ZoomOut(d.zoom, app.settings.viewStyle); break;
        default: d.zoom = 1.0f; break;
    }
    SizeWindowToCanvas();
    UpdateTitleAndStatus();
    InvalidateRect(app.window, nullptr, FALSE);
    MovePointerToButton(commandId);
    d.fromPopup = false;
    UpdateScrollState();
}

}  // namespace marbleye::win32
