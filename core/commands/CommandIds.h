#pragma once

#include <cstdint>

namespace marbleye::command {

// Command identifiers shared by menus, accelerators, toolbar buttons and the
// language files.
inline constexpr int32_t kOpen = 200;
inline constexpr int32_t kExit = 201;
inline constexpr int32_t kAbout = 203;
inline constexpr int32_t kSave = 204;
inline constexpr int32_t kPrint = 205;
inline constexpr int32_t kZoomIn = 206;
inline constexpr int32_t kZoomOut = 207;
inline constexpr int32_t kOriginalSize = 208;
inline constexpr int32_t kCopyTo = 214;
inline constexpr int32_t kMoveTo = 215;
inline constexpr int32_t kDelete = 216;
inline constexpr int32_t kRename = 217;
inline constexpr int32_t kNext = 40002;
inline constexpr int32_t kPrevious = 40003;
inline constexpr int32_t kSlideshow = 40004;
inline constexpr int32_t kFlip = 40005;
inline constexpr int32_t kMirror = 40006;
inline constexpr int32_t kRotateLeft = 40011;
inline constexpr int32_t kRotateRight = 40012;
inline constexpr int32_t kWallpaperCentered = 40013;
inline constexpr int32_t kWallpaperStretched = 40014;
inline constexpr int32_t kWallpaperTiled = 40015;
inline constexpr int32_t kWallpaperDelete = 40016;
inline constexpr int32_t kRedChannel = 40017;
inline constexpr int32_t kGreenChannel = 40018;
inline constexpr int32_t kBlueChannel = 40019;
inline constexpr int32_t kInvert = 40020;
inline constexpr int32_t kGrayscale = 40021;
inline constexpr int32_t kReload = 40022;
inline constexpr int32_t kConvertTo4Bit = 40025;
inline constexpr int32_t kConvertTo16Bit = 40026;
inline constexpr int32_t kConvertTo8Bit = 40027;
inline constexpr int32_t kFirst = 40028;
inline constexpr int32_t kLast = 40029;
inline constexpr int32_t kRandom = 40030;
inline constexpr int32_t kCustomDither = 40031;
inline constexpr int32_t kReadme = 40032;
inline constexpr int32_t kOptions = 40033;
inline constexpr int32_t kRgbToBgr = 40035;
inline constexpr int32_t kRgbToGrb = 40036;
inline constexpr int32_t kButtonize = 40037;
inline constexpr int32_t kRgbToRbg = 40038;
inline constexpr int32_t kBrowse = 40040;
inline constexpr int32_t kThumbnailView = 40042;
inline constexpr int32_t kListView = 40044;
inline constexpr int32_t kReportView = 40045;
inline constexpr int32_t kShowToolbar = 40046;
inline constexpr int32_t kShowStatusbar = 40047;
inline constexpr int32_t kResize = 40049;
inline constexpr int32_t kFullscreen = 40050;
inline constexpr int32_t kTilemap = 40051;
inline constexpr int32_t kCut = 40052;
inline constexpr int32_t kCopy = 40053;
inline constexpr int32_t kPaste = 40054;
inline constexpr int32_t kRestoreToolbar = 40056;
inline constexpr int32_t kCrop = 40057;
inline constexpr int32_t kWhatsNew = 40058;
inline constexpr int32_t kHomepage = 40059;
inline constexpr int32_t kSecondHomepage = 40060;
inline constexpr int32_t kAlwaysMaximize = 40061;
inline constexpr int32_t kBatchConversion = 40062;
inline constexpr int32_t kBlur = 40063;
inline constexpr int32_t kPixelize = 40064;
inline constexpr int32_t kSeamless = 40065;
inline constexpr int32_t kFitToWindow = 40066;
inline constexpr int32_t kFitNone = 40067;
inline constexpr int32_t kConvertTo24Bit = 40068;
inline constexpr int32_t kUseLastWindowPosition = 40069;
inline constexpr int32_t kSaveWindowPosition = 40070;
inline constexpr int32_t kVideoNormalSize = 40071;
inline constexpr int32_t kVideoDoubleSize = 40072;
inline constexpr int32_t kVideoFullscreen = 40073;
inline constexpr int32_t kShowPlaybar = 40074;
inline constexpr int32_t kLoopMedia = 40075;
inline constexpr int32_t kKeyboardHelp = 40076;
inline constexpr int32_t kCatalogCreator = 40077;
inline constexpr int32_t kLicense = 40078;
inline constexpr int32_t kUndo = 40079;
inline constexpr int32_t kDatabaseMaintenance = 40080;
inline constexpr int32_t kSharpen = 40081;
inline constexpr int32_t kSaveAs = 40082;
inline constexpr int32_t kSelectAll = 40083;
inline constexpr int32_t kLockZoom = 40086;
inline constexpr int32_t kAlphaAsImage = 40090;
inline constexpr int32_t kSetLanguage = 40091;
inline constexpr int32_t kAlphaAsLayer = 40092;
inline constexpr int32_t kOpenWithPhotoshop = 40094;
inline constexpr int32_t kOpenWithPaintShopPro = 40095;
inline constexpr int32_t kOpenWithPhotoPaint = 40096;
inline constexpr int32_t kResetEditors = 40098;
inline constexpr int32_t kOpenWithMediaPlayer = 40099;
inline constexpr int32_t kOpenWithMediaPlayer64 = 40100;

}  // namespace marbleye::command
