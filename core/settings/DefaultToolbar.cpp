#include "settings/DefaultToolbar.h"

#include "commands/CommandList.h"

namespace marbleye {

namespace {

using namespace command;

constexpr ToolbarSlot kSeparator{1, 0, 0};

constexpr std::array<ToolbarSlot, kToolbarSlotCount> kDefaultSlots = {{
    {1, kOpen, 0},          {1, kReload, 15},        {1, kBrowse, 17},   kSeparator,
    {1, kExit, 1},          {1, kSaveAs, 2},         {1, kPrint, 3},     {0, kCatalogCreator, 21},
    {1, kUndo, 22},         kSeparator,              {1, kZoomIn, 4},    {1, kOriginalSize, 5},
    {1, kZoomOut, 6},       kSeparator,              {1, kPrevious, 13}, {1, kNext, 12},
    {0, kSlideshow, 14},    kSeparator,              {1, kCopyTo, 8},    {1, kMoveTo, 9},
    {1, kDelete, 10},       {1, kRename, 11},        kSeparator,         {1, kOptions, 16},
    {1, kAbout, 7},
}};

constexpr std::array<std::string_view, kToolbarSlotCount> kDefaultLabels = {
    "Open",   "Reload",   "Browse", "SEP",  "Exit",      "Save", "Print",  "Catalog", "Undo",
    "SEP",    "Zoom In",  "Zoom 100", "Zoom Out", "SEP", "Prev", "Next",   "Slideshow", "SEP",
    "CopyTo", "MoveTo",   "Delete", "Rename", "SEP",     "Options", "About",
};

constexpr std::array kToolTips = {
    ToolTip{kOpen, "Open", "Open a picture"},
    ToolTip{kReload, "Reload", "Load the picture again"},
    ToolTip{kSaveAs, "SaveAs", "Save in another format"},
    ToolTip{kExit, "Exit", "Exit Marbleye"},
    ToolTip{kPrint, "Print", "Print the picture"},
    ToolTip{kCatalogCreator, "CatalogCreator", "Make a catalog of a folder tree"},
    ToolTip{kUndo, "Undo", "Undo the last change"},
    ToolTip{kZoomIn, "ZoomIn", "Zoom in"},
    ToolTip{kOriginalSize, "Zoom100", "Original size"},
    ToolTip{kZoomOut, "ZoomOut", "Zoom out"},
    ToolTip{kNext, "FindNext", "Next picture"},
    ToolTip{kPrevious, "FindPrev", "Previous picture"},
    ToolTip{kSlideshow, "Slideshow", "Start or stop the slideshow"},
    ToolTip{kCopyTo, "CopyTo", "Copy the file to a folder"},
    ToolTip{kMoveTo, "MoveTo", "Move the file to a folder"},
    ToolTip{kDelete, "DeleteFile", "Delete the file"},
    ToolTip{kRename, "Rename", "Rename the file"},
    ToolTip{kOptions, "Options", "Options"},
    ToolTip{kAbout, "About", "About Marbleye"},
};

constexpr ToolTip kBrowseFromViewer{kBrowse, "Browser1", "Show the thumbnail browser"};
constexpr ToolTip kBrowseFromBrowser{kBrowse, "Browser2", "Back to the picture"};

}  // namespace

std::optional<ToolTip> DefaultToolTip(int32_t command, bool browserMode) {
    if (command == kBrowse) return browserMode ? kBrowseFromBrowser : kBrowseFromViewer;
    for (const ToolTip& tip : kToolTips) {
        if (tip.command == command) return tip;
    }
    return std::nullopt;
}

const std::array<ToolbarSlot, kToolbarSlotCount>& DefaultToolbarSlots() { return kDefaultSlots; }

const std::array<std::string_view, kToolbarSlotCount>& DefaultToolbarLabels() { return kDefaultLabels; }

}  // namespace marbleye
