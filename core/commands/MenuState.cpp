#include "commands/MenuState.h"

#include <initializer_list>

#include "commands/CommandList.h"
#include "commands/MenuLayout.h"
#include "formats/FormatTable.h"

namespace marbleye {

namespace {

using namespace command;
using Items = std::map<int32_t, ItemState>;

void Enable(Items& items, std::initializer_list<int32_t> ids, bool enabled = true) {
    for (int32_t id : ids) items[id].enabled = enabled;
}

void Check(Items& items, int32_t id, bool checked) { items[id].checked = checked; }

bool CanSave(const ProgramState& s) {
    if (s.formatId == format_id::kGif && s.animationRunning) return false;
    return CanBeSavedOver(s.formatId);
}

constexpr std::initializer_list<int32_t> kFileCommands = {kCopyTo, kMoveTo, kDelete, kRename};

// Items that no rule greys.
constexpr std::initializer_list<int32_t> kAlwaysEnabled = {
    kPaste,          kAlwaysMaximize, kBatchConversion, kUseLastWindowPosition, kSaveWindowPosition,
    kVideoNormalSize, kVideoDoubleSize, kVideoFullscreen, kShowPlaybar,          kLoopMedia,
    kKeyboardHelp,   kCatalogCreator, kLicense,          kDatabaseMaintenance,  kLockZoom,
    kSetLanguage,    kResetEditors,   kWhatsNew,         kHomepage,
};

void SetChecks(Items& items, const ProgramState& s) {
    Check(items, kShowToolbar, s.toolbarShown);
    Check(items, kShowStatusbar, s.statusbarShown);
    Check(items, kTilemap, s.tilesShown);
    Check(items, kAlwaysMaximize, s.alwaysMaximize);
    Check(items, kFitToWindow, s.viewStyle == 1);
    Check(items, kFitNone, s.viewStyle != 1);
    Check(items, kUseLastWindowPosition, s.useLastWindowPosition);
    Check(items, kLockZoom, s.lockZoom);
    Check(items, kVideoNormalSize, s.videoSize == 1);
    Check(items, kVideoDoubleSize, s.videoSize == 2);
    Check(items, kVideoFullscreen, s.videoSize == 3);
    Check(items, kShowPlaybar, s.showPlaybar);
    Check(items, kLoopMedia, s.loopMedia);
    Check(items, kThumbnailView, s.browserListStyle == 0);
    Check(items, kListView, s.browserListStyle == 1);
    Check(items, kReportView, s.browserListStyle == 2);
}

}  // namespace

std::map<int32_t, ItemState> ComputeMenuState(const ProgramState& s) {
    Items items;
    Enable(items, kAlwaysEnabled);
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
    SetChecks(items, s);
    return items;
}

std::map<int32_t, ItemState> ComputeViewerPopupState(const ProgramState& s) {
    Items items;
    Enable(items, {kZoomIn, kZoomOut, kOriginalSize, kFitToWindow, kFitNone, kFullscreen, kSlideshow});
    items[kLockZoom] = ItemState{s.viewStyle != 1, s.lockZoom};
    const auto greyZoom = [&] { Enable(items, {kZoomIn, kZoomOut, kOriginalSize}, false); };
    if (s.browserMode) {
        Check(items, s.previewStyle == 1 ? kFitToWindow : kFitNone, true);
        if (s.previewStyle == 1) greyZoom();
        Enable(items, {kSlideshow}, false);
    } else if (s.viewStyle == 0) {
        Check(items, kFitNone, true);
    } else if (s.viewStyle == 1) {
        Check(items, kFitToWindow, true);
        greyZoom();
    } else {
        Enable(items, {kFitToWindow, kFitNone}, false);
        Check(items, kFullscreen, true);
    }
    return items;
}

std::map<int32_t, ItemState> ComputeToolbarPopupState(const ProgramState& s) {
    using namespace toolbar_menu;
    Items items;
    Check(items, kShowToolbar, s.toolbarShown);
    Check(items, kShowToolTips, s.showToolTips);
    Check(items, kNoLabels, s.toolbarLabels == 0);
    Check(items, kLabelsBelow, s.toolbarLabels == 1);
    Check(items, kLabelsRight, s.toolbarLabels == 2);
    Check(items, kSmall, s.toolbarSize == 0);
    Check(items, kMiddle, s.toolbarSize == 1);
    Check(items, kBig, s.toolbarSize == 2);
    Check(items, kLarge, s.toolbarSize == 3);
    return items;
}

std::map<int32_t, ItemState> ComputeToolbarState(const ProgramState& s) {
    Items buttons;
    Enable(buttons, {kReload, kSaveAs, kPrint, kUndo, kZoomIn, kOriginalSize, kZoomOut, kPrevious, kNext, kSlideshow},
           false);
    Enable(buttons, kFileCommands, false);
    if (s.canvasValid) {
        Enable(buttons, {kReload, kSaveAs, kPrint, kZoomIn, kOriginalSize, kZoomOut});
        Enable(buttons, kFileCommands);
    }
    if (s.folderCount > 1) {
        if (!s.browserMode) Enable(buttons, {kSlideshow});
        if (s.canvasValid) Enable(buttons, {kPrevious, kNext});
    }
    if (s.mediaPlaying) {
        Enable(buttons, {kPrint, kSaveAs}, false);
        Enable(buttons, {kReload, kZoomIn, kOriginalSize, kZoomOut});
        Enable(buttons, kFileCommands);
        if (s.folderCount > 1) Enable(buttons, {kPrevious, kNext});
    }
    if (s.browserMode && s.previewStyle == 1) Enable(buttons, {kZoomIn, kOriginalSize, kZoomOut}, false);
    if (s.undoAvailable) Enable(buttons, {kUndo});
    Check(buttons, kSlideshow, s.slideshowRunning);
    return buttons;
}

}  // namespace marbleye
