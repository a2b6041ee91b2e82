#include "app/MenuState.h"

#include <initializer_list>

#include "commands/CommandIds.h"

namespace marbleye {

namespace {

using namespace command;

bool CanSave(const ProgramState& s) {
    switch (s.formatId) {
        case 0: case 6: case 8: case 23: case 24: case 25: case 27: case 28: case 32: case 33: case 35: case 36:
            return true;
        case 5: return !s.animationRunning;
        default: return false;
    }
}

template <typename Map, typename Value>
void Set(Map& items, std::initializer_list<int32_t> ids, Value value) {
    for (int32_t id : ids) items[id] = value;
}

void Enable(std::map<int32_t, ItemState>& items, std::initializer_list<int32_t> ids, bool enabled = true) {
    for (int32_t id : ids) items[id].enabled = enabled;
}

constexpr std::initializer_list<int32_t> kFileCommands = {kCopyTo, kMoveTo, kDelete, kRename};

}  // namespace

std::map<int32_t, ItemState> ComputeMenuState(const ProgramState& s) {
    std::map<int32_t, ItemState> items;
    Enable(items,
           {kOpen, kOpenWithPhotoshop, kOpenWithPaintShopPro, kOpenWithPhotoPaint, kOpenWithMediaPlayer,
            kOpenWithMediaPlayer64, kSave, kSaveAs, kReload, kPrint, kExit, kUndo, kCopy, kCut, kCrop, kSelectAll,
            kCopyTo, kMoveTo, kDelete, kRename, kShowToolbar, kShowStatusbar, kFullscreen, kTilemap, kZoomIn,
            kZoomOut, kOriginalSize, kSlideshow, kNext, kPrevious, kFirst, kLast, kRandom, kFlip, kMirror,
            kRotateLeft, kRotateRight, kRedChannel, kGreenChannel, kBlueChannel, kAlphaAsImage, kAlphaAsLayer,
            kGrayscale, kInvert, kRgbToBgr, kRgbToGrb, kRgbToRbg, kConvertTo4Bit, kConvertTo8Bit, kConvertTo16Bit,
            kConvertTo24Bit, kCustomDither, kButtonize, kBlur, kPixelize, kSeamless, kSharpen, kResize,
            kWallpaperCentered, kWallpaperTiled, kWallpaperStretched, kWallpaperDelete, kBrowse, kThumbnailView,
            kReportView, kListView, kRestoreToolbar, kOptions, kReadme, kAbout},
           false);
    Enable(items, {kBrowse, kOpen, kExit, kShowToolbar, kShowStatusbar, kOptions, kReadme, kAbout});
    if (s.toolbarShown) Enable(items, {kRestoreToolbar});

    if (s.canvasValid) {
        if (s.mediaPlaying) Enable(items, {kOpenWithMediaPlayer, kOpenWithMediaPlayer64});
        else Enable(items, {kOpenWithPhotoshop, kOpenWithPaintShopPro, kOpenWithPhotoPaint});
        if (CanSave(s)) Enable(items, {kSave});
        Enable(items, {kReload});
        if (!s.mediaPlaying) Enable(items, {kPrint, kSaveAs});
        Enable(items, {kCopy, kCut, kCrop, kFullscreen, kTilemap, kZoomIn, kOriginalSize, kZoomOut});
        if (!s.animationRunning) {
            Enable(items, {kFlip, kMirror, kRotateLeft, kRotateRight, kRedChannel, kGreenChannel, kBlueChannel});
            if (s.canvasBitsPerPixel >= 32) Enable(items, {kAlphaAsImage, kAlphaAsLayer});
            Enable(items, {kGrayscale, kInvert, kRgbToBgr, kRgbToGrb, kRgbToRbg});
            if (s.fileBitDepth != 4) Enable(items, {kConvertTo4Bit});
            if (s.fileBitDepth != 8) Enable(items, {kConvertTo8Bit});
            if (s.fileBitDepth != 16) Enable(items, {kConvertTo16Bit});
            if (s.fileBitDepth != 24) Enable(items, {kConvertTo24Bit});
            Enable(items, {kCustomDither, kButtonize, kBlur, kPixelize, kSeamless, kSharpen, kResize});
        }
        Enable(items, kFileCommands);
        Enable(items, {kWallpaperCentered, kWallpaperStretched, kWallpaperTiled, kWallpaperDelete});
    }
    if (s.folderCount > 1) {
        Enable(items, {kSlideshow, kFirst, kLast, kRandom});
        if (s.canvasValid) Enable(items, {kNext, kPrevious});
    }
    if (s.mediaPlaying) {
        Enable(items, {kFullscreen, kZoomIn, kZoomOut, kOriginalSize, kReload});
        Enable(items, kFileCommands);
        if (s.folderCount > 1) Enable(items, {kNext, kPrevious});
    }
    if (s.browserMode) {
        Enable(items, {kSelectAll, kThumbnailView, kReportView, kListView});
        Enable(items, {kUseLastWindowPosition, kSaveWindowPosition, kFitToWindow, kFitNone, kSlideshow}, false);
        if (s.previewStyle == 1) Enable(items, {kZoomIn, kZoomOut, kOriginalSize}, false);
    }
    if (s.undoAvailable) Enable(items, {kUndo});
    Enable(items, {kLockZoom}, s.viewStyle == 0);
    items[kFitToWindow].checked = s.viewStyle == 1;
    items[kFitNone].checked = s.viewStyle != 1;
    return items;
}

std::map<int32_t, bool> ComputeToolbarState(const ProgramState& s) {
    std::map<int32_t, bool> buttons;
    Set(buttons, {kReload, kSaveAs, kPrint, kUndo, kZoomIn, kOriginalSize, kZoomOut, kPrevious, kNext, kSlideshow},
        false);
    Set(buttons, kFileCommands, false);
    if (s.canvasValid) {
        Set(buttons, {kReload, kSaveAs, kPrint, kZoomIn, kOriginalSize, kZoomOut}, true);
        Set(buttons, kFileCommands, true);
    }
    if (s.folderCount > 1) {
        if (!s.browserMode) buttons[kSlideshow] = true;
        if (s.canvasValid) Set(buttons, {kPrevious, kNext}, true);
    }
    if (s.mediaPlaying) {
        Set(buttons, {kPrint, kSaveAs}, false);
        Set(buttons, {kReload, kZoomIn, kOriginalSize, kZoomOut}, true);
        Set(buttons, kFileCommands, true);
        if (s.folderCount > 1) Set(buttons, {kPrevious, kNext}, true);
    }
    if (s.browserMode && s.previewStyle == 1) Set(buttons, {kZoomIn, kOriginalSize, kZoomOut}, false);
    if (s.undoAvailable) buttons[kUndo] = true;
    return buttons;
}

}  // namespace marbleye
