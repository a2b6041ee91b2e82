#include <array>

#include "commands/CommandList.h"
#include "commands/MenuLayout.h"

namespace marbleye {

namespace {

using namespace command;
using namespace menu_nodes;

// clang-format off
constexpr std::array kMainMenu = {
    Popup("&File", "File"),
        Item(kOpen),
        Popup("Open with", "File_OpenWith"),
            Item(kOpenWithPhotoshop), Item(kOpenWithPaintShopPro), Item(kOpenWithPhotoPaint),
            Item(kOpenWithMediaPlayer), Item(kOpenWithMediaPlayer64),
            Separator(),
            Item(kResetEditors),
        End(),
        Item(kSave), Item(kSaveAs), Item(kReload),
        Separator(),
        Item(kPrint),
        Separator(),
        Item(kBrowse),
        Separator(),
        Item(kExit),
    End(),
    Popup("&Edit", "Edit"),
        Item(kUndo),
        Separator(),
        Item(kCut), Item(kCopy), Item(kPaste), Item(kCrop),
        Separator(),
        Item(kSelectAll),
        Separator(),
        Item(kCopyTo), Item(kMoveTo), Item(kRename), Item(kDelete),
    End(),
    Popup("&View", "View"),
        Item(kShowToolbar), Item(kShowStatusbar),
        Separator(),
        Item(kFitToWindow), Item(kFitNone),
        Separator(),
        Item(kZoomIn), Item(kZoomOut), Item(kOriginalSize), Item(kLockZoom),
        Separator(),
        Item(kAlwaysMaximize), Item(kTilemap), Item(kFullscreen),
        Popup("Image", "View_Image"),
            Item(kNext), Item(kPrevious), Item(kFirst), Item(kLast), Item(kRandom),
        End(),
        Popup("Video", "View_Video"),
            Popup("Video Size", "View_Video_VideoSize"),
                Item(kVideoNormalSize), Item(kVideoDoubleSize), Item(kVideoFullscreen),
            End(),
            Item(kShowPlaybar), Item(kLoopMedia),
        End(),
        Popup("Browser Style", "View_BrowserStyle"),
            Item(kThumbnailView), Item(kReportView), Item(kListView),
        End(),
        Separator(),
        Item(kSlideshow),
        Separator(),
        Item(kUseLastWindowPosition), Item(kSaveWindowPosition),
    End(),
    Popup("&Image", "Image"),
        Item(kFlip), Item(kMirror),
        Separator(),
        Item(kRotateLeft), Item(kRotateRight),
        Separator(),
        Item(kGrayscale), Item(kInvert), Item(kResize),
        Popup("&Colors", "Image_Colors"),
            Item(kRedChannel), Item(kGreenChannel), Item(kBlueChannel),
            Separator(),
            Item(kRgbToBgr), Item(kRgbToGrb), Item(kRgbToRbg),
            Separator(),
            Item(kAlphaAsImage), Item(kAlphaAsLayer),
        End(),
        Popup("Color&depth", "Image_ColorDepth"),
            Item(kConvertTo4Bit), Item(kConvertTo8Bit), Item(kConvertTo16Bit), Item(kConvertTo24Bit),
            Separator(),
            Item(kCustomDither),
        End(),
        Popup("Effects", "Image_Effects"),
            Item(kButtonize), Item(kBlur), Item(kPixelize), Item(kSeamless), Item(kSharpen),
        End(),
    End(),
    Popup("&Tools", "Tools"),
        Item(kBatchConversion), Item(kCatalogCreator), Item(kDatabaseMaintenance),
        Separator(),
        Popup("Wallpaper", "Tools_Wallpaper"),
            Item(kWallpaperCentered), Item(kWallpaperTiled), Item(kWallpaperStretched),
            Separator(),
            Item(kWallpaperDelete),
        End(),
        Separator(),
        Item(kRestoreToolbar), Item(kSetLanguage),
        Separator(),
        Item(kOptions),
    End(),
    Popup("&Help", "Help"),
        Item(kReadme), Item(kLicense), Item(kKeyboardHelp), Item(kWhatsNew),
        Separator(),
        Item(kHomepage),
        Separator(),
        Item(kAbout),
    End(),
};
// clang-format on

// The maker's second web page has no menu item.
constexpr std::array kWithoutMenuItem = {kSecondHomepage};

}  // namespace

std::span<const MenuNode> MainMenuLayout() { return kMainMenu; }

std::span<const int32_t> CommandsWithoutMenuItem() { return kWithoutMenuItem; }

}  // namespace marbleye
