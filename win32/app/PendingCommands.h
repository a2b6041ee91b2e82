#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

// Tells the user that the command's part of the program is not in this
// version yet.
void SayNotAvailableYet(HWND window, int32_t id);

// Commands whose subsystem is not in the program yet. Each subsystem that
// arrives takes its commands from here into a route list of its own.
inline constexpr CommandRoute kPendingCommands[] = {
    {command::kOpen, &SayNotAvailableYet},
    {command::kSave, &SayNotAvailableYet},
    {command::kPrint, &SayNotAvailableYet},
    {command::kCopyTo, &SayNotAvailableYet},
    {command::kMoveTo, &SayNotAvailableYet},
    {command::kDelete, &SayNotAvailableYet},
    {command::kRename, &SayNotAvailableYet},
    {command::kSlideshow, &SayNotAvailableYet},
    {command::kFlip, &SayNotAvailableYet},
    {command::kMirror, &SayNotAvailableYet},
    {command::kRotateLeft, &SayNotAvailableYet},
    {command::kRotateRight, &SayNotAvailableYet},
    {command::kWallpaperCentered, &SayNotAvailableYet},
    {command::kWallpaperStretched, &SayNotAvailableYet},
    {command::kWallpaperTiled, &SayNotAvailableYet},
    {command::kWallpaperDelete, &SayNotAvailableYet},
    {command::kRedChannel, &SayNotAvailableYet},
    {command::kGreenChannel, &SayNotAvailableYet},
    {command::kBlueChannel, &SayNotAvailableYet},
    {command::kInvert, &SayNotAvailableYet},
    {command::kGrayscale, &SayNotAvailableYet},
    {command::kCustomDither, &SayNotAvailableYet},
    {command::kReadme, &SayNotAvailableYet},
    {command::kOptions, &SayNotAvailableYet},
    {command::kRgbToBgr, &SayNotAvailableYet},
    {command::kRgbToGrb, &SayNotAvailableYet},
    {command::kButtonize, &SayNotAvailableYet},
    {command::kRgbToRbg, &SayNotAvailableYet},
    {command::kBrowse, &SayNotAvailableYet},
    {command::kThumbnailView, &SayNotAvailableYet},
    {command::kListView, &SayNotAvailableYet},
    {command::kReportView, &SayNotAvailableYet},
    {command::kResize, &SayNotAvailableYet},
    {command::kFullscreen, &SayNotAvailableYet},
    {command::kCut, &SayNotAvailableYet},
    {command::kCopy, &SayNotAvailableYet},
    {command::kPaste, &SayNotAvailableYet},
    {command::kRestoreToolbar, &SayNotAvailableYet},
    {command::kCrop, &SayNotAvailableYet},
    {command::kWhatsNew, &SayNotAvailableYet},
    {command::kHomepage, &SayNotAvailableYet},
    {command::kSecondHomepage, &SayNotAvailableYet},
    {command::kBatchConversion, &SayNotAvailableYet},
    {command::kBlur, &SayNotAvailableYet},
    {command::kPixelize, &SayNotAvailableYet},
    {command::kSeamless, &SayNotAvailableYet},
    {command::kVideoNormalSize, &SayNotAvailableYet},
    {command::kVideoDoubleSize, &SayNotAvailableYet},
    {command::kVideoFullscreen, &SayNotAvailableYet},
    {command::kShowPlaybar, &SayNotAvailableYet},
    {command::kLoopMedia, &SayNotAvailableYet},
    {command::kKeyboardHelp, &SayNotAvailableYet},
    {command::kCatalogCreator, &SayNotAvailableYet},
    {command::kLicense, &SayNotAvailableYet},
    {command::kUndo, &SayNotAvailableYet},
    {command::kDatabaseMaintenance, &SayNotAvailableYet},
    {command::kSharpen, &SayNotAvailableYet},
    {command::kSaveAs, &SayNotAvailableYet},
    {command::kSelectAll, &SayNotAvailableYet},
    {command::kAlphaAsImage, &SayNotAvailableYet},
    {command::kSetLanguage, &SayNotAvailableYet},
    {command::kAlphaAsLayer, &SayNotAvailableYet},
    {command::kOpenWithPhotoshop, &SayNotAvailableYet},
    {command::kOpenWithPaintShopPro, &SayNotAvailableYet},
    {command::kOpenWithPhotoPaint, &SayNotAvailableYet},
    {command::kResetEditors, &SayNotAvailableYet},
    {command::kOpenWithMediaPlayer, &SayNotAvailableYet},
    {command::kOpenWithMediaPlayer64, &SayNotAvailableYet},
};

}  // namespace marbleye::win32
