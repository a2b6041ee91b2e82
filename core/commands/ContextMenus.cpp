#include <array>

#include "commands/CommandList.h"
#include "commands/MenuLayout.h"

namespace marbleye {

namespace {

using namespace command;
using namespace menu_nodes;

constexpr MenuNode ItemNamed(int32_t command, std::string_view text) {
    return MenuNode{MenuNodeKind::kItem, command, text, {}};
}

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

}  // namespace

std::span<const MenuNode> ViewerPopupLayout() { return kViewerPopup; }

}  // namespace marbleye
