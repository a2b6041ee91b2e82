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

}  // namespace

const std::array<ToolbarSlot, kToolbarSlotCount>& DefaultToolbarSlots() { return kDefaultSlots; }

const std::array<std::string_view, kToolbarSlotCount>& DefaultToolbarLabels() { return kDefaultLabels; }

}  // namespace marbleye
