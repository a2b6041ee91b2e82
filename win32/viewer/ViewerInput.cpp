#include "win32/viewer/ViewerInput.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "commands/CommandList.h"
#include "win32/app/Program.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

constexpr int kEdgeReach = 4;

bool CanDrag() {
    const Program& app = App();
    const DisplayState& d = app.display;
    if (app.settings.viewStyle == kViewFitToWindow) return false;
    if (app.fullScreen && !app.settings.fullSize) return false;
    return d.canScrollX || d.canScrollY;
}

RECT ImageRect() {
    const DisplayState& d = App().display;
    return RECT{d.originX, d.originY, d.originX + d.shownWidth, d.originY + d.shownHeight};
}

// Which edge of the selection the point is near, if any.
DragMode EdgeAt(POINT p) {
    RECT s = App().display.selection;
    if (s.left > s.right) std::swap(s.left, s.right);
    if (s.top > s.bottom) std::swap(s.top, s.bottom);
    if (s.right - s.left < 3 && s.bottom - s.top < 3) return DragMode::kNone;
    const bool inX = p.x >= s.left && p.x <= s.right, inY = p.y >= s.top && p.y <= s.bottom;
    if (inX && (std::abs(p.y - s.top) <= kEdgeReach || std::abs(p.y - s.bottom) <= kEdgeReach)) {
        return DragMode::kResizeVerticalEdge;
    }
    if (inY && (std::abs(p.x - s.left) <= kEdgeReach || std::abs(p.x - s.right) <= kEdgeReach)) {
        return DragMode::kResizeHorizontalEdge;
    }
    if (inX && inY) return DragMode::kMoveSelection;
    return DragMode::kNone;
}

void Repaint() {
    InvalidateRect(App().window, nullptr, FALSE);
    UpdateWindow(App().window);
}

void ScrollBy(int dx, int dy) {
    DisplayState& d = App().display;
    if (d.canScrollX) d.scrollX += dx;
    if (d.canScrollY) d.scrollY += dy;
    ClampScrollOffsets();
    Repaint();
}

void MoveSelection(POINT p) {
    DisplayState& d = App().display;
    RECT& s = d.selection;
    const RECT image = ImageRect();
    const int dx = p.x - d.lastPointer.x, dy = p.y - d.lastPointer.y;
    switch (d.drag) {
        case DragMode::kNewSelection:
            s.right = std::clamp(static_cast<int>(p.x), static_cast<int>(image.left), static_cast<int>(image.right));
            s.bottom = std::clamp(static_cast<int>(p.y), static_cast<int>(image.top), static_cast<int>(image.bottom));
            break;
        case DragMode::kResizeHorizontalEdge:
            if (p.x < (s.left + s.right) / 2) s.left += dx;
            else s.right += dx;
            s.left = std::max(s.left, image.left), s.right = std::min(s.right, image.right);
            break;
        case DragMode::kResizeVerticalEdge:
            if (p.y < (s.top + s.bottom) / 2) s.top += dy;
            else s.bottom += dy;
            s.top = std::max(s.top, image.top), s.bottom = std::min(s.bottom, image.bottom);
            break;
        case DragMode::kMoveSelection:
            OffsetRect(&s, dx, dy);
            s.left = std::clamp(s.left, image.left, image.right), s.right = std::clamp(s.right, image.left, image.right);
            s.top = std::clamp(s.top, image.top, image.bottom), s.bottom = std::clamp(s.bottom, image.top, image.bottom);
            break;
        default: break;
    }
    Repaint();
}

void SetHoverCursor(POINT p) {
    const Program& app = App();
    switch (EdgeAt(p)) {
        case DragMode::kResizeVerticalEdge: SetCursor(app.cursors[kCursorSizeNS]); return;
        case DragMode::kResizeHorizontalEdge: SetCursor(app.cursors[kCursorSizeWE]); return;
        default: break;
    }
    SetCursor(CanDrag() ? app.cursors[kCursorHandOpen] : LoadCursor(nullptr, IDC_ARROW));
}

}  // namespace

bool HandleViewerInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Program& app = App();
    DisplayState& d = app.display;
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_LBUTTONDOWN:
            if (!CanDrag()) return true;
            SetCapture(window);
            SetCursor(app.cursors[kCursorHandClosed]);
            d.drag = DragMode::kScroll;
            d.lastPointer = p;
            return true;
        case WM_LBUTTONUP:
            if (d.drag == DragMode::kScroll) {
                ReleaseCapture();
                SetCursor(app.cursors[kCursorHandOpen]);
                d.drag = DragMode::kNone;
            }
            return true;
        case WM_RBUTTONDOWN:
            if (app.browserMode || app.settings.viewStyle == kViewFitToWindow || !app.canvas.valid()) return false;
            d.drag = EdgeAt(p);
            if (d.drag == DragMode::kNone) {
                const RECT image = ImageRect();
                const LONG x = std::clamp(p.x, image.left, image.right), y = std::clamp(p.y, image.top, image.bottom);
                d.selection = RECT{x, y, x, y};
                d.drag = DragMode::kNewSelection;
                SetCursor(app.cursors[kCursorCross]);
            }
            d.lastPointer = p;
            SetCapture(window);
            return true;
        case WM_RBUTTONUP:
            // Not consumed: the default handling then asks for the context
            // menu, which shows only when no selection was drawn.
            if (d.drag == DragMode::kNone || d.drag == DragMode::kScroll) return false;
            ReleaseCapture();
            SetCursor(LoadCursor(nullptr, IDC_ARROW));
            d.drag = DragMode::kNone;
            return false;
        case WM_MOUSEMOVE:
            if (d.drag == DragMode::kScroll && (wParam & MK_LBUTTON)) {
                ScrollBy(p.x - d.lastPointer.x, p.y - d.lastPointer.y);
            } else if (d.drag != DragMode::kNone && d.drag != DragMode::kScroll && (wParam & MK_RBUTTON)) {
                MoveSelection(p);
            } else {
                SetHoverCursor(p);
            }
            d.lastPointer = p;
            return true;
        case WM_KEYDOWN: {
            const int step = (GetKeyState(VK_SHIFT) < 0) ? 5 : (GetKeyState(VK_CONTROL) < 0) ? 50 : 20;
            switch (wParam) {
                case VK_LEFT: ScrollBy(step, 0); return true;
                case VK_RIGHT: ScrollBy(-step, 0); return true;
                case VK_UP: ScrollBy(0, step); return true;
                case VK_DOWN: ScrollBy(0, -step); return true;
                default: return false;
            }
        }
        case WM_MOUSEWHEEL: {
            const bool up = GET_WHEEL_DELTA_WPARAM(wParam) > 0;
            d.fromPopup = true;
            if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
                SendMessageA(window, WM_COMMAND, up ? command::kZoomIn : command::kZoomOut, 0);
            } else if (app.folder.entries.size() >= 2) {
                SendMessageA(window, WM_COMMAND, up ? command::kPrevious : command::kNext, 0);
            }
            d.fromPopup = false;
            return true;
        }
        case WM_MBUTTONDOWN: SendMessageA(window, WM_COMMAND, command::kFullscreen, 0); return true;
        default: return false;
    }
}

}  // namespace marbleye::win32
