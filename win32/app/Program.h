#pragma once

#include <windows.h>

#include <string>

#include "app/FolderList.h"
#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
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

// The animation of the current file, if it has one.
struct Playback {
    AnimationKind kind = AnimationKind::kNone;
    bool active = false;
    int frameCount = -1, currentFrame = -1, layerCount = -1;

    bool animating() const { return active && kind != AnimationKind::kMedia; }
    bool mediaPlaying() const { return active && kind == AnimationKind::kMedia; }
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

    bool browserMode = false;
    int browserListStyle = -1;  // the style the browser list shows; -1 before it was first shown
    bool resizeSuppressed = false;
    bool saveDialogInCurrentFolder = false;
    bool fullScreen = false;
    bool slideshowRunning = false;

    HCURSOR cursors[kCursorCount] = {};
};

Program& App();

}  // namespace marbleye::win32
