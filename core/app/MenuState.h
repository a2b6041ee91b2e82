#pragma once

#include <cstdint>
#include <map>

namespace marbleye {

// A plain snapshot of what decides which commands are available.
struct ProgramState {
    bool canvasValid = false;
    int32_t formatId = -1;
    int32_t fileBitDepth = -1;
    int32_t canvasBitsPerPixel = 0;
    bool animationRunning = false;  // a GIF or MNG animation plays
    bool mediaPlaying = false;
    int32_t folderCount = 0;
    bool browserMode = false;
    int32_t previewStyle = 0;  // the browser's preview: 1 fits the picture
    bool undoAvailable = false;
    int32_t viewStyle = 0;
    bool toolbarShown = true;
};

struct ItemState {
    bool enabled = true;
    bool checked = false;
};

// Enabled, greyed and checked menu items by command; items missing from the
// map keep their current state.
std::map<int32_t, ItemState> ComputeMenuState(const ProgramState& state);

// Enabled toolbar buttons by command; buttons missing from the map keep theirs.
std::map<int32_t, bool> ComputeToolbarState(const ProgramState& state);

}  // namespace marbleye
