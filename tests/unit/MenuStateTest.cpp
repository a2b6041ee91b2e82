#include <gtest/gtest.h>

#include "commands/MenuState.h"
#include "commands/CommandList.h"

namespace marbleye {
namespace {

using namespace command;

bool Enabled(const ProgramState& state, int32_t id) { return ComputeMenuState(state).at(id).enabled; }

ProgramState Picture() {
    ProgramState s;
    s.canvasValid = true;
    s.formatId = 0;
    s.fileBitDepth = 24;
    s.canvasBitsPerPixel = 24;
    s.folderCount = 1;
    return s;
}

TEST(MenuState, WithoutAPictureOnlyTheAlwaysCommandsAreEnabled) {
    const auto items = ComputeMenuState(ProgramState());
    for (int32_t id : {kOpen, kExit, kBrowse, kShowToolbar, kShowStatusbar, kOptions, kReadme, kAbout, kRestoreToolbar}) {
        EXPECT_TRUE(items.at(id).enabled) << id;
    }
    for (int32_t id : {kSave, kSaveAs, kPrint, kZoomIn, kNext, kUndo, kCopyTo, kGrayscale, kSlideshow}) {
        EXPECT_FALSE(items.at(id).enabled) << id;
    }
    EXPECT_TRUE(items.at(kPaste).enabled) << "no rule greys Paste";
}

TEST(MenuState, OneImageInTheFolderGreysNavigation) {
    const ProgramState s = Picture();
    for (int32_t id : {kNext, kPrevious, kFirst, kLast, kRandom, kSlideshow}) EXPECT_FALSE(Enabled(s, id)) << id;
    ProgramState two = s;
    two.folderCount = 2;
    for (int32_t id : {kNext, kPrevious, kFirst, kLast, kRandom, kSlideshow}) EXPECT_TRUE(Enabled(two, id)) << id;
}

TEST(MenuState, SaveDependsOnTheFormat) {
    ProgramState s = Picture();
    EXPECT_TRUE(Enabled(s, kSave));
    s.formatId = 5;
    EXPECT_TRUE(Enabled(s, kSave));
    s.animationRunning = true;
    EXPECT_FALSE(Enabled(s, kSave)) << "an animating GIF";
    EXPECT_TRUE(Enabled(s, kSaveAs));
    s.formatId = 13;
    s.animationRunning = false;
    EXPECT_FALSE(Enabled(s, kSave));
}

TEST(MenuState, MediaEnablesNeitherPrintNorSaveAs) {
    ProgramState s = Picture();
    s.mediaPlaying = true;
    EXPECT_FALSE(Enabled(s, kPrint));
    EXPECT_FALSE(Enabled(s, kSaveAs));
    EXPECT_TRUE(Enabled(s, kOpenWithMediaPlayer));
    EXPECT_FALSE(Enabled(s, kOpenWithPhotoshop));
}

TEST(MenuState, DepthConversionsSkipTheCurrentDepth) {
    ProgramState s = Picture();
    s.fileBitDepth = 8;
    EXPECT_FALSE(Enabled(s, kConvertTo8Bit));
    EXPECT_TRUE(Enabled(s, kConvertTo24Bit));
    EXPECT_FALSE(Enabled(s, kAlphaAsImage)) << "only for 32-bit canvases";
    s.canvasBitsPerPixel = 32;
    EXPECT_TRUE(Enabled(s, kAlphaAsImage));
}

TEST(MenuState, ViewStyleChecksAndLockZoom) {
    ProgramState s = Picture();
    auto items = ComputeMenuState(s);
    EXPECT_TRUE(items.at(kFitNone).checked);
    EXPECT_FALSE(items.at(kFitToWindow).checked);
    EXPECT_TRUE(items.at(kLockZoom).enabled);
    s.viewStyle = 1;
    items = ComputeMenuState(s);
    EXPECT_TRUE(items.at(kFitToWindow).checked);
    EXPECT_FALSE(items.at(kLockZoom).enabled);
}

TEST(MenuState, BrowserMode) {
    ProgramState s = Picture();
    s.browserMode = true;
    s.previewStyle = 1;
    s.folderCount = 3;
    const auto items = ComputeMenuState(s);
    EXPECT_TRUE(items.at(kSelectAll).enabled);
    EXPECT_FALSE(items.at(kSlideshow).enabled);
    EXPECT_FALSE(items.at(kZoomIn).enabled);
    EXPECT_FALSE(items.at(kFitNone).enabled);
}

TEST(MenuState, CheckMarksFollowTheState) {
    ProgramState s = Picture();
    auto items = ComputeMenuState(s);
    for (int32_t id : {kShowToolbar, kShowStatusbar, kVideoNormalSize, kShowPlaybar, kLoopMedia}) {
        EXPECT_TRUE(items.at(id).checked) << id;
    }
    for (int32_t id : {kTilemap, kAlwaysMaximize, kUseLastWindowPosition, kLockZoom, kVideoDoubleSize,
                       kVideoFullscreen, kThumbnailView, kListView, kReportView, kSave, kNext}) {
        EXPECT_FALSE(items.at(id).checked) << id;
    }
    s.toolbarShown = s.statusbarShown = s.showPlaybar = s.loopMedia = false;
    s.tilesShown = s.alwaysMaximize = s.useLastWindowPosition = s.lockZoom = true;
    s.videoSize = 3;
    s.browserListStyle = 2;
    items = ComputeMenuState(s);
    for (int32_t id : {kShowToolbar, kShowStatusbar, kShowPlaybar, kLoopMedia, kVideoNormalSize, kThumbnailView}) {
        EXPECT_FALSE(items.at(id).checked) << id;
    }
    for (int32_t id : {kTilemap, kAlwaysMaximize, kUseLastWindowPosition, kLockZoom, kVideoFullscreen, kReportView}) {
        EXPECT_TRUE(items.at(id).checked) << id;
    }
    EXPECT_FALSE(items.at(kRestoreToolbar).enabled) << "only with the toolbar shown";
}

TEST(ToolbarState, Buttons) {
    auto buttons = ComputeToolbarState(ProgramState());
    EXPECT_FALSE(buttons.at(kSaveAs).enabled);
    EXPECT_FALSE(buttons.at(kUndo).enabled);
    ProgramState s = Picture();
    s.folderCount = 2;
    s.undoAvailable = true;
    buttons = ComputeToolbarState(s);
    EXPECT_TRUE(buttons.at(kSaveAs).enabled);
    EXPECT_TRUE(buttons.at(kNext).enabled);
    EXPECT_TRUE(buttons.at(kSlideshow).enabled);
    EXPECT_TRUE(buttons.at(kUndo).enabled);
    EXPECT_FALSE(buttons.at(kSlideshow).checked);
    s.slideshowRunning = true;
    EXPECT_TRUE(ComputeToolbarState(s).at(kSlideshow).checked) << "pressed while the slideshow runs";
    s.browserMode = true;
    EXPECT_FALSE(ComputeToolbarState(s).at(kSlideshow).enabled);
}

// Steps 1 and 2: everything the rules decide starts greyed; these few are
// always there, Restore Default Toolbar only with the toolbar.
TEST(MenuStateRules, GreyedFirstThenTheAlwaysAvailable) {
    ProgramState s;
    s.toolbarShown = false;
    const auto items = ComputeMenuState(s);
    for (int32_t id : {kOpenWithPhotoshop, kReload, kUndo, kCopy, kCut, kCrop, kSelectAll, kFullscreen, kTilemap,
                       kFirst, kLast, kRandom, kFlip, kCustomDither, kWallpaperCentered, kThumbnailView,
                       kRestoreToolbar}) {
        EXPECT_FALSE(items.at(id).enabled) << id;
    }
    for (int32_t id : {kPaste, kAlwaysMaximize, kBatchConversion, kUseLastWindowPosition, kCatalogCreator,
                       kDatabaseMaintenance, kSetLanguage, kResetEditors, kWhatsNew, kHomepage, kKeyboardHelp}) {
        EXPECT_TRUE(items.at(id).enabled) << id << " stays enabled";
    }
}

// Step 3: a picture.
TEST(MenuStateRules, APictureEnablesItsCommands) {
    const ProgramState s = Picture();
    const auto items = ComputeMenuState(s);
    for (int32_t id : {kOpenWithPhotoshop, kOpenWithPaintShopPro, kOpenWithPhotoPaint, kReload, kPrint, kSaveAs,
                       kCopy, kCut, kCrop, kFullscreen, kTilemap, kZoomIn, kZoomOut, kOriginalSize, kFlip, kMirror,
                       kRotateLeft, kRotateRight, kRedChannel, kGrayscale, kInvert, kRgbToBgr, kCustomDither,
                       kButtonize, kBlur, kResize, kCopyTo, kRename, kWallpaperCentered, kWallpaperDelete}) {
        EXPECT_TRUE(items.at(id).enabled) << id;
    }
    EXPECT_FALSE(items.at(kOpenWithMediaPlayer).enabled) << "media players only for media";
}

TEST(MenuStateRules, SaveOnlyForFormatsThatCanBeWrittenBack) {
    ProgramState s = Picture();
    for (int32_t id = -1; id <= 41; ++id) {
        s.formatId = id;
        const bool expected = id == 0 || id == 5 || id == 6 || id == 8 || id == 23 || id == 24 || id == 25 ||
                              id == 27 || id == 28 || id == 32 || id == 33 || id == 35 || id == 36;
        EXPECT_EQ(Enabled(s, kSave), expected) << "format " << id;
    }
}

TEST(MenuStateRules, ARunningAnimationGreysThePixelCommands) {
    ProgramState s = Picture();
    s.animationRunning = true;
    const auto items = ComputeMenuState(s);
    for (int32_t id : {kFlip, kGrayscale, kInvert, kConvertTo8Bit, kBlur, kResize, kRgbToGrb}) {
        EXPECT_FALSE(items.at(id).enabled) << id;
    }
    for (int32_t id : {kSaveAs, kCopy, kZoomIn, kCopyTo, kWallpaperTiled}) EXPECT_TRUE(items.at(id).enabled) << id;
}

// Step 5: media playing enables its commands even without a canvas.
TEST(MenuStateRules, MediaPlayingWithoutACanvas) {
    ProgramState s;
    s.mediaPlaying = true;
    s.folderCount = 3;
    const auto items = ComputeMenuState(s);
    for (int32_t id : {kFullscreen, kZoomIn, kZoomOut, kOriginalSize, kReload, kCopyTo, kMoveTo, kNext, kPrevious}) {
        EXPECT_TRUE(items.at(id).enabled) << id;
    }
    EXPECT_FALSE(items.at(kPrint).enabled);
    s.folderCount = 1;
    EXPECT_FALSE(Enabled(s, kNext));
}

// Step 4: without a picture only the commands that need none.
TEST(MenuStateRules, AFolderWithoutAShownPicture) {
    ProgramState s;
    s.folderCount = 3;
    for (int32_t id : {kSlideshow, kFirst, kLast, kRandom}) EXPECT_TRUE(Enabled(s, id)) << id;
    for (int32_t id : {kNext, kPrevious}) EXPECT_FALSE(Enabled(s, id)) << id;
}

// Steps 6 to 9.
TEST(MenuStateRules, BrowserUndoLockZoomAndFitChecks) {
    ProgramState s = Picture();
    s.browserMode = true;
    auto items = ComputeMenuState(s);
    for (int32_t id : {kThumbnailView, kReportView, kListView, kSelectAll}) EXPECT_TRUE(items.at(id).enabled) << id;
    for (int32_t id : {kUseLastWindowPosition, kSaveWindowPosition, kFitToWindow, kFitNone}) {
        EXPECT_FALSE(items.at(id).enabled) << id;
    }
    EXPECT_TRUE(items.at(kZoomIn).enabled) << "the zoom stays with the preview at full size";
    s = Picture();
    EXPECT_FALSE(Enabled(s, kUndo));
    s.undoAvailable = true;
    EXPECT_TRUE(Enabled(s, kUndo));
    s.viewStyle = 2;
    items = ComputeMenuState(s);
    EXPECT_FALSE(items.at(kLockZoom).enabled) << "only in fit-none";
    EXPECT_TRUE(items.at(kFitNone).checked) << "every style but fitting checks Fit None";
    EXPECT_FALSE(items.at(kFitToWindow).checked);
}

TEST(ToolbarStateRules, MediaBrowserAndPreview) {
    ProgramState s;
    s.mediaPlaying = true;
    s.folderCount = 2;
    auto buttons = ComputeToolbarState(s);
    for (int32_t id : {kReload, kZoomIn, kOriginalSize, kZoomOut, kCopyTo, kRename, kPrevious, kNext}) {
        EXPECT_TRUE(buttons.at(id).enabled) << id;
    }
    for (int32_t id : {kPrint, kSaveAs}) EXPECT_FALSE(buttons.at(id).enabled) << id;
    s = Picture();
    s.folderCount = 1;
    buttons = ComputeToolbarState(s);
    for (int32_t id : {kPrevious, kNext, kSlideshow}) EXPECT_FALSE(buttons.at(id).enabled) << id;
    for (int32_t id : {kReload, kSaveAs, kPrint, kZoomIn, kDelete}) EXPECT_TRUE(buttons.at(id).enabled) << id;
    s.browserMode = true;
    s.previewStyle = 1;
    buttons = ComputeToolbarState(s);
    for (int32_t id : {kZoomIn, kOriginalSize, kZoomOut}) EXPECT_FALSE(buttons.at(id).enabled) << id;
    EXPECT_TRUE(buttons.at(kSaveAs).enabled);
}

}  // namespace
}  // namespace marbleye
