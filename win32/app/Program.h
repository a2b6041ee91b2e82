#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/FolderList.h"
#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "formats/mng/MngPlayer.h"
#include "settings/AppSettings.h"
#include "win32/platform/Win32Host.h"
#include "win32/viewer/DibAllocator.h"

namespace marbleye::win32 {

// The setting "ViewStyle".
inline constexpr int kViewFitNone = 0;
inline constexpr int kViewFitToWindow = 1;
inline constexpr int kViewFullScreen = 2;

enum class DragMode { kNone, kScroll, kNewSelection, kMoveSelection, kResizeHorizontalEdge, kResizeVerticalEdge };

// What the viewer shows and how.
struct DisplayState {
    float zoom = 1.0f;
    bool lockZoom = false;
    int scrollX = 0, scrollY = 0;
    bool canScrollX = false, canScrollY = false;
    int originX = 0, originY = 0;  // where the picture was last drawn
    int shownWidth = 0, shownHeight = 0;
    bool noEnlarge = false;
    RECT selection{};
    DragMode drag = DragMode::kNone;
    POINT lastPointer{};
    bool fromPopup = false;
};

enum class AnimationKind { kNone, kGif, kMng, kMedia };

// The animation of the current file, if it has one. A GIF plays from its
// frame strip: the current frame counts down from frameCount to 1, and the
// shown cell starts (currentFrame - 1) cells from the strip's top. An MNG
// plays through its player, which draws each frame into the canvas.
struct Playback {
    AnimationKind kind = AnimationKind::kNone;
    bool active = false;
    int frameCount = -1, currentFrame = -1, layerCount = -1;
    int cellHeight = 0;
    std::vector<int32_t> delays;  // hundredths of a second, last frame first
    std::unique_ptr<MngPlayer> mng;

    bool animating() const { return active && kind != AnimationKind::kMedia; }
    bool mediaPlaying() const { return active && kind == AnimationKind::kMedia; }
};

// The one level of undo (the file lives in the Windows folder).
struct UndoState {
    bool available = false;
    int32_t savedBitDepth = 0;
};

enum CursorSlot { kCursorHandOpen, kCursorHandClosed, kCursorCross, kCursorSizeNS, kCursorSizeWE, kCursorCount };

// The one program: its window, its settings, its picture.
struct Program {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HMENU menu = nullptr;
    HWND statusBar = nullptr;
    HWND rebar = nullptr;
    HWND toolbar = nullptr;
    HFONT toolbarFont = nullptr;          // the labels' font while labels are shown
    HBITMAP toolbarBackground = nullptr;  // the band's background picture
    int toolbarHeight = 0;
    int statusBarHeight = 0;

    AppSettings settings;
    std::string settingsPath;  // the settings file beside the program, as the core opens it

    DibAllocator allocator;
    ImageCanvas canvas{allocator};
    CurrentImage image;
    Win32Host host;

    FolderList folder;
    std::string currentPath;  // the picture's path as the user sees it
    DisplayState display;
    Playback playback;
    UndoState undo;

    bool browserMode = false;
    int browserListStyle = -1;  // the style the browser list shows; -1 before it was first shown
    bool resizeSuppressed = false;
    bool saveDialogInCurrentFolder = false;
    bool fullScreen = false;
    int viewStyleBeforeFullScreen = kViewFitNone;
    bool slideshowRunning = false;
    HMENU trackedPopup = nullptr;  // the context menu while it is shown

    HCURSOR cursors[kCursorCount] = {};

    // The picture's height on screen: one cell of a playing GIF's strip.
    int ShownHeight() const {
        return playback.active && playback.kind == AnimationKind::kGif ? playback.cellHeight : canvas.height();
    }
};

Program& App();

}  // namespace marbleye::win32
