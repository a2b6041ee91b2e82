#pragma once

#include <cstdint>
#include <map>

namespace marbleye {

// A plain snapshot of what decides which commands are available and checked.
struct ProgramState {
    bool canvasValid = false;
    int32_t formatId = -1;
    int32_t fileBitDepth = -1;
    int32_t canvasBitsPerPixel = 0;
    bool animationRunning = false;  // a GIF or MNG animation plays
    bool mediaPlaying = false;
    int32_t folderCount = 0;
    bool browserMode = false;
    int32_t previewStyle = 0;       // the browser's preview: 1 fits the picture
    int32_t browserListStyle = -1;  // 0 thumbnails, 1 list, 2 report; -1 before the list was first shown
    bool undoAvailable = false;
    int32_t viewStyle = 0;
    bool toolbarShown = true;
    bool statusbarShown = true;
    bool tilesShown = false;
    bool alwaysMaximize = false;
    bool useLastWindowPosition = false;
    bool lockZoom = false;
    int32_t videoSize = 1;  // 1 normal, 2 double, 3 full screen
    bool showPlaybar = true;
    bool loopMedia = true;
    bool slideshowRunning = false;
    bool showToolTips = true;
    int32_t toolbarLabels = 1;  // 0 none, 1 below the picture, 2 at its right
    int32_t toolbarSize = 0;    // 0 small, 1 middle, 2 big, 3 large
};

struct ItemState {
    bool enabled = true;
    bool checked = false;
    friend bool operator==(const ItemState&, const ItemState&) = default;
};

// Enabled, greyed and checked state of every item of the main menu, by command.
std::map<int32_t, ItemState> ComputeMenuState(const ProgramState& state);

// The zoom, fit, lock-zoom, full-screen and slideshow items of the viewer's
// context menu, by the view style, the browser's preview style and the locked
// zoom; its other items are always enabled.
std::map<int32_t, ItemState> ComputeViewerPopupState(const ProgramState& state);

// The check marks of the toolbar's context menu: the toolbar itself, its
// tooltips, the label mode and the size.
std::map<int32_t, ItemState> ComputeToolbarPopupState(const ProgramState& state);

// Enabled and pressed state of the toolbar buttons by command; buttons missing
// from the map keep theirs.
std::map<int32_t, ItemState> ComputeToolbarState(const ProgramState& state);

}  // namespace marbleye
