#include <array>

#include "commands/CommandList.h"
#include "commands/MenuLayout.h"

namespace marbleye {

namespace {

using namespace command;
using namespace menu_nodes;

// clang-format off
constexpr std::array kViewerPopup = {
    Popup("Viewer", ""),
        Item(kCopyTo), Item(kMoveTo), Item(kDelete), Item(kRename),
        Separator(),
        Item(kNext), Item(kPrevious),
        Separator(),
        Item(kZoomIn), Item(kZoomOut), ItemNamed(kOriginalSize, "Zoom 100%"), Item(kLockZoom),
        Separator(),
        Popup("Set as Wallpaper", "Tools_Wallpaper"),
            Item(kWallpaperCentered), Item(kWallpaperTiled), Item(kWallpaperStretched),
            Separator(),
            Item(kWallpaperDelete),
        End(),
        Separator(),
        ItemNamed(kFitToWindow, "Auto Size"), ItemNamed(kFitNone, "Full Size"), Item(kFullscreen),
        Separator(),
        Item(kSlideshow), Item(kReload),
        Separator(),
        Item(kPrint), ItemNamed(kSaveAs, "Convert..."),
        Separator(),
        Item(kBrowse), Item(kOptions),
    End(),
};
// clang-format on

// clang-format off
constexpr std::array kToolbarPopup = {
    Popup("Toolbar", ""),
        ItemNamed(kShowToolbar, "Show &Toolbar", "ShowToolbar"),
        ItemNamed(toolbar_menu::kShowToolTips, "Show Tooltips", "ShowTooltips"),
        Separator(),
        Popup("Button Labels", "Buttonlabels"),
            ItemNamed(toolbar_menu::kNoLabels, "No labels", "Buttonlabels_None"),
            ItemNamed(toolbar_menu::kLabelsRight, "Labels at right", "Buttonlabels_Right"),
            ItemNamed(toolbar_menu::kLabelsBelow, "Labels below", "Buttonlabels_Below"),
        End(),
        Popup("Toolbar", "Toolbar"),
            ItemNamed(toolbar_menu::kSmall, "Small", "Toolbar_Small"),
            ItemNamed(toolbar_menu::kMiddle, "Middle", "Toolbar_Middle"),
            ItemNamed(toolbar_menu::kBig, "Big", "Toolbar_Big"),
            ItemNamed(toolbar_menu::kLarge, "Large", "Toolbar_Large"),
        End(),
        Separator(),
        ItemNamed(toolbar_menu::kCustomize, "Customize...", "Customize"),
    End(),
};
// clang-format on

}  // namespace

std::span<const MenuNode> ViewerPopupLayout() { return kViewerPopup; }

std::span<const MenuNode> ToolbarPopupLayout() { return kToolbarPopup; }

}  // namespace marbleye
