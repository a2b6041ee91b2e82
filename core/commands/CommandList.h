#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "commands/KeyStroke.h"

namespace marbleye {

// Every command of the program, once: its constant, identifier, key in the
// "Menu" section of a language file (empty where translations have none), its
// text in the main menu (Windows-1252, accelerator hint after a tab) and the
// keys that run it. Menus, accelerators, toolbar buttons and language files
// all name commands by these identifiers.
// clang-format off
#define MARBLEYE_COMMAND_LIST(X)                                                                              \
    X(kOpen, 200, "File_Open", "&Open...\tCtrl+O", Ctrl('O'))                                                \
    X(kExit, 201, "File_Exit", "&Exit\tEsc", Key(vk::kEscape))                                               \
    X(kAbout, 203, "Help_About", "&About\t")                                                                 \
    X(kSave, 204, "File_Save", "&Save...\tShift+S", Shift('S'))                                              \
    X(kPrint, 205, "File_Print", "&Print...\tCtrl+P", Ctrl('P'))                                             \
    X(kZoomIn, 206, "View_ZoomIn", "Zoom In\tNUMBLOCK +", Character('+'))                                    \
    X(kZoomOut, 207, "View_ZoomOut", "Zoom Out\tNUMBLOCK -", Character('-'))                                 \
    X(kOriginalSize, 208, "View_Zoom100", "Original Size \tNUMBLOCK *", Character('*'))                      \
    X(kCopyTo, 214, "Edit_CopyTo", "Co&py to...\tShift+C", Shift('C'))                                       \
    X(kMoveTo, 215, "Edit_MoveTo", "&Move to...\tShift+M", Shift('M'))                                       \
    X(kDelete, 216, "Edit_Delete", "&Delete...\tDel", Key(vk::kDelete))                                      \
    X(kRename, 217, "Edit_Rename", "&Rename...\tShift+R", Shift('R'))                                        \
    X(kNext, 40002, "View_Image_Next", "Next\tPageDn", Key(vk::kNext), Key(vk::kSpace))                      \
    X(kPrevious, 40003, "View_Image_Prev", "Previous\tPageUp", Key(vk::kPrior), Key(vk::kBack))              \
    X(kSlideshow, 40004, "View_SlideShow", "Start/Stop SlideShow\tS", Key('S'))                              \
    X(kFlip, 40005, "Image_Flip", "&Flip\tShift+F", Shift('F'))                                              \
    X(kMirror, 40006, "Image_Mirror", "&Mirror\tShift+G", Shift('G'))                                        \
    X(kRotateLeft, 40011, "Image_RotateLeft", "Rotate 90\xB0 &left\tShift+H", Shift('H'))                    \
    X(kRotateRight, 40012, "Image_RotateRight", "Rotate 90\xB0 &right\tShift+J", Shift('J'))                 \
    X(kWallpaperCentered, 40013, "Tools_Wallpaper_Centered", "Centered")                                     \
    X(kWallpaperStretched, 40014, "Tools_Wallpaper_Stretched", "Stretched")                                  \
    X(kWallpaperTiled, 40015, "Tools_Wallpaper_Tiled", "Tiled")                                              \
    X(kWallpaperDelete, 40016, "Tools_Wallpaper_Delete", "Delete")                                           \
    X(kRedChannel, 40017, "Image_Colors_RedChannel", "Red Channel")                                          \
    X(kGreenChannel, 40018, "Image_Colors_GreenChannel", "Green Channel")                                    \
    X(kBlueChannel, 40019, "Image_Colors_BlueChannel", "Blue Channel")                                       \
    X(kInvert, 40020, "Image_Invert", "&Invert")                                                             \
    X(kGrayscale, 40021, "Image_Grayscale", "&Grayscale")                                                    \
    X(kReload, 40022, "File_Reload", "&Reload\tCtrl+R", Ctrl('R'))                                           \
    X(kConvertTo4Bit, 40025, "Image_ColorDepth_Convert4bit", "Convert to 4bit (16 Colors)")                  \
    X(kConvertTo16Bit, 40026, "Image_ColorDepth_Convert16bit", "Convert to 16bit (64k Colors)")              \
    X(kConvertTo8Bit, 40027, "Image_ColorDepth_Convert8bit", "Convert to 8bit (256 Colors)")                 \
    X(kFirst, 40028, "View_Image_First", "First\tHome", Key(vk::kHome))                                      \
    X(kLast, 40029, "View_Image_Last", "Last\tEnd", Key(vk::kEnd))                                           \
    X(kRandom, 40030, "View_Image_Random", "Random")                                                         \
    X(kCustomDither, 40031, "Image_ColorDepth_Custom", "Custom...")                                          \
    X(kReadme, 40032, "Help_Readme", "&Readme\tF1", Key(vk::kF1))                                            \
    X(kOptions, 40033, "Tools_Options", "&Options...")                                                       \
    X(kRgbToBgr, 40035, "", "RGB->BGR")                                                                      \
    X(kRgbToGrb, 40036, "", "RGB->GRB")                                                                      \
    X(kButtonize, 40037, "Image_Effects_Buttonize", "Buttonize")                                             \
    X(kRgbToRbg, 40038, "", "RGB->RBG")                                                                      \
    X(kBrowse, 40040, "File_Browse", "Browse... \tEnter", Key(vk::kReturn))                                  \
    X(kThumbnailView, 40042, "View_BrowserStyle_Thumbnail", "Thumbnail-View")                                \
    X(kListView, 40044, "View_BrowserStyle_List", "List-View")                                               \
    X(kReportView, 40045, "View_BrowserStyle_Report", "Report-View")                                         \
    X(kShowToolbar, 40046, "View_ShowToolbar", "Show &Toolbar")                                              \
    X(kShowStatusbar, 40047, "View_ShowStatusbar", "Show &Statusbar")                                        \
    X(kResize, 40049, "Image_Resize", "Resi&ze...")                                                          \
    X(kFullscreen, 40050, "View_Fullscreen", "Fullscreenmode\tCtrl+F", Ctrl('F'))                            \
    X(kTilemap, 40051, "View_ImageAsTilemap", "Show Image as Tilemap\tCtrl+T", Ctrl('T'))                    \
    X(kCut, 40052, "Edit_Cut", "C&ut\tCtrl+X", Ctrl('X'))                                                    \
    X(kCopy, 40053, "Edit_Copy", "&Copy\tCtrl+C", Ctrl('C'))                                                 \
    X(kPaste, 40054, "Edit_Paste", "&Paste\tCtrl+V", Ctrl('V'))                                              \
    X(kRestoreToolbar, 40056, "Tools_RestoreToolbar", "&Restore Default Toolbar")                            \
    X(kCrop, 40057, "Edit_Crop", "C&rop\tCtrl+D", Ctrl('D'))                                                 \
    X(kWhatsNew, 40058, "Help_Whatsnew", "&What's new?")                                                     \
    X(kHomepage, 40059, "Help_MEHP", "&Marbleye Hompage")                                                    \
    X(kSecondHomepage, 40060, "", "")                                                                        \
    X(kAlwaysMaximize, 40061, "View_AlwaysMaxWindow", "Always maximize Window\tCtrl+M", Ctrl('M'))           \
    X(kBatchConversion, 40062, "Tools_BatchConversion", "&Batch Conversion...")                              \
    X(kBlur, 40063, "Image_Effects_Blur", "Blur")                                                            \
    X(kPixelize, 40064, "Image_Effects_Pixelize", "Pixelize")                                                \
    X(kSeamless, 40065, "Image_Effects_Seamless", "Seamless Image")                                          \
    X(kFitToWindow, 40066, "View_FitToWindow", "Fit Image to &Window")                                       \
    X(kFitNone, 40067, "View_NoFit", "Fit &None")                                                            \
    X(kConvertTo24Bit, 40068, "Image_ColorDepth_Convert24bit", "Convert to 24bit (16.7M Colors)")            \
    X(kUseLastWindowPosition, 40069, "View_LastWinPos", "&Use last Windowposition/size")                     \
    X(kSaveWindowPosition, 40070, "View_SaveWinPos", "Save &current Windowposition/size")                    \
    X(kVideoNormalSize, 40071, "View_Video_VideoSize_100", "Normal Size")                                    \
    X(kVideoDoubleSize, 40072, "View_Video_VideoSize_200", "Double Size")                                    \
    X(kVideoFullscreen, 40073, "View_Video_VideoSize_Full", "Fullscreen")                                    \
    X(kShowPlaybar, 40074, "View_Video_ShowPlaybar", "&Show VideoPlaybar")                                   \
    X(kLoopMedia, 40075, "View_Video_LoopVideo", "&Loop Video/Music")                                        \
    X(kKeyboardHelp, 40076, "Help_Keyboard", "Keyboard")                                                     \
    X(kCatalogCreator, 40077, "Tools_CatalogCreator", "&Catalog Creator...")                                 \
    X(kLicense, 40078, "Help_License", "&License Agreement")                                                 \
    X(kUndo, 40079, "Edit_Undo", "&Undo\tCtrl+Z", Ctrl('Z'))                                                 \
    X(kDatabaseMaintenance, 40080, "Tools_DBMaintenance", "&Database Maintenance...")                        \
    X(kSharpen, 40081, "Image_Effects_Sharpen", "Sharpen")                                                   \
    X(kSaveAs, 40082, "File_SaveAs", "Save &as...\tCtrl+S", Ctrl('S'))                                       \
    X(kSelectAll, 40083, "Edit_SelectAll", "Select All\tCtrl+A", Ctrl('A'))                                  \
    X(kLockZoom, 40086, "View_ZoomLock", "&Lock Zoom")                                                       \
    X(kAlphaAsImage, 40090, "Image_Colors_AlphaChannel", "Alpha Channel -> show as image")                   \
    X(kSetLanguage, 40091, "Tools_Language", "&Set Language...")                                             \
    X(kAlphaAsLayer, 40092, "Image_Colors_AlphaChannel2", "Alpha Channel -> show as layer")                  \
    X(kOpenWithPhotoshop, 40094, "", "Photoshop")                                                            \
    X(kOpenWithPaintShopPro, 40095, "", "Paint Shop Pro")                                                    \
    X(kOpenWithPhotoPaint, 40096, "", "Photo Paint")                                                         \
    X(kResetEditors, 40098, "", "&Reset all")                                                                \
    X(kOpenWithMediaPlayer, 40099, "", "Media Player")                                                       \
    X(kOpenWithMediaPlayer64, 40100, "", "Media Player 6.4")
// clang-format on

namespace command {
#define MARBLEYE_COMMAND_CONSTANT(constant, id, ...) inline constexpr int32_t constant = id;
MARBLEYE_COMMAND_LIST(MARBLEYE_COMMAND_CONSTANT)
#undef MARBLEYE_COMMAND_CONSTANT
}  // namespace command

struct CommandInfo {
    int32_t id;
    std::string_view constantName;
    std::string_view languageKey;
    std::string_view menuText;
    std::array<KeyStroke, 2> keys;  // unused entries have no key
};

namespace command_list_detail {
using namespace key_strokes;
#define MARBLEYE_COMMAND_ROW(constant, id, languageKey, menuText, ...) \
    CommandInfo{id, #constant, languageKey, menuText, {__VA_ARGS__}},
inline constexpr CommandInfo kCommands[] = {MARBLEYE_COMMAND_LIST(MARBLEYE_COMMAND_ROW)};
#undef MARBLEYE_COMMAND_ROW
}  // namespace command_list_detail

constexpr std::span<const CommandInfo> Commands() { return command_list_detail::kCommands; }

constexpr const CommandInfo* FindCommand(int32_t id) {
    for (const CommandInfo& info : Commands()) {
        if (info.id == id) return &info;
    }
    return nullptr;
}

// The menu text without its accelerator hint and without the '&' marks, as a
// message names the command.
std::string PlainMenuText(std::string_view menuText);

}  // namespace marbleye
