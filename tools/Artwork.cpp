#include "Artwork.h"

#include <cassert>
#include <iterator>

namespace marbleye::artwork {

namespace {

// The view modes of the thumbnail browser: the theme has no view icons.
constexpr const char* kThumbnailView16[] = {
    "................", ".gggggg..gggggg.", ".gcccyg..gcccyg.", ".gccccg..gccccg.",
    ".geeccg..geeccg.", ".geeeeg..geeeeg.", ".gggggg..gggggg.", "................",
    "................", ".gggggg..gggggg.", ".gcccyg..gcccyg.", ".gccccg..gccccg.",
    ".geeccg..geeccg.", ".geeeeg..geeeeg.", ".gggggg..gggggg.", "................",
};
constexpr const char* kThumbnailView24[] = {
    "........................", "........................", "..ggggggggg..ggggggggg..",
    "..gcccccccg..gcccccccg..", "..gccccyycg..gccccyycg..", "..gccccyycg..gccccyycg..",
    "..gcccccccg..gcccccccg..", "..geecccccg..geecccccg..", "..geeeecceg..geeeecceg..",
    "..gGGGGGGGg..gGGGGGGGg..", "..ggggggggg..ggggggggg..", "........................",
    "........................", "..ggggggggg..ggggggggg..", "..gcccccccg..gcccccccg..",
    "..gccccyycg..gccccyycg..", "..gccccyycg..gccccyycg..", "..gcccccccg..gcccccccg..",
    "..geecccccg..geecccccg..", "..geeeecceg..geeeecceg..", "..gGGGGGGGg..gGGGGGGGg..",
    "..ggggggggg..ggggggggg..", "........................", "........................",
};
constexpr const char* kListView16[] = {
    "................", "................", ".BBB.....BBB....", ".BcB.ddd.BcB.ddd",
    ".BBB.....BBB....", "................", "................", ".BBB.....BBB....",
    ".BcB.ddd.BcB.ddd", ".BBB.....BBB....", "................", "................",
    ".BBB.....BBB....", ".BcB.ddd.BcB.ddd", ".BBB.....BBB....", "................",
};
constexpr const char* kListView24[] = {
    "........................", "........................", "........................",
    ".BBBB........BBBB.......", ".BccB.ddddd..BccB.ddddd.", ".BccB.ggg....BccB.ggg...",
    ".BBBB........BBBB.......", "........................", "........................",
    "........................", ".BBBB........BBBB.......", ".BccB.ddddd..BccB.ddddd.",
    ".BccB.ggg....BccB.ggg...", ".BBBB........BBBB.......", "........................",
    "........................", "........................", ".BBBB........BBBB.......",
    ".BccB.ddddd..BccB.ddddd.", ".BccB.ggg....BccB.ggg...", ".BBBB........BBBB.......",
    "........................", "........................", "........................",
};
constexpr const char* kReportView16[] = {
    "................", ".gggggggg.ggggg.", ".gggggggg.ggggg.", "................",
    ".BBB............", ".BcB.dddd..ddd..", ".BBB............", "................",
    ".BBB............", ".BcB.dddd..ddd..", ".BBB............", "................",
    ".BBB............", ".BcB.dddd..ddd..", ".BBB............", "................",
};
constexpr const char* kReportView24[] = {
    "........................", "........................", ".gggggggggggg.ggggggggg.",
    ".gaaaaaaaaaag.gaaaaaaag.", ".gggggggggggg.ggggggggg.", "........................",
    "........................", ".BBBB...................", ".BccB.dddddd..ddddd.....",
    ".BccB.gggg....ggg.......", ".BBBB...................", "........................",
    "........................", ".BBBB...................", ".BccB.dddddd..ddddd.....",
    ".BccB.gggg....ggg.......", ".BBBB...................", "........................",
    "........................", ".BBBB...................", ".BccB.dddddd..ddddd.....",
    ".BccB.gggg....ggg.......", ".BBBB...................", "........................",
};

// Menu pictures the theme has nothing for: the crop marks, the toggle and
// radio states, and the four wallpaper commands as a screen.
constexpr const char* kCrop13[] = {
    "...kk........", "...kk........", "...kk........", "kkkkkkkkkk...", "kkkkkkkkkk...",
    "...kkccckk...", "...kkccckk...", "...kkccckk...", "...kkkkkkkkkk", "...kkkkkkkkkk",
    "........kk...", "........kk...", "........kk...",
};
constexpr const char* kToggleOn13[] = {
    ".............", ".ggggggggggg.", ".gWWWWWWWWWg.", ".gWWWWWWWkWg.", ".gWWWWWWkkWg.",
    ".gWkWWWkkWWg.", ".gWkkWkkWWWg.", ".gWWkkkWWWWg.", ".gWWWkWWWWWg.", ".gWWWWWWWWWg.",
    ".gWWWWWWWWWg.", ".ggggggggggg.", ".............",
};
constexpr const char* kToggleOff13[] = {
    ".............", ".ggggggggggg.", ".gWWWWWWWWWg.", ".gWWWWWWWWWg.", ".gWWWWWWWWWg.",
    ".gWWWWWWWWWg.", ".gWWWWWWWWWg.", ".gWWWWWWWWWg.", ".gWWWWWWWWWg.", ".gWWWWWWWWWg.",
    ".gWWWWWWWWWg.", ".ggggggggggg.", ".............",
};
constexpr const char* kRadioOff13[] = {
    ".............", "....ggggg....", "...gWWWWWg...", "..gWWWWWWWg..", ".gWWWWWWWWWg.",
    ".gWWWWWWWWWg.", ".gWWWWWWWWWg.", ".gWWWWWWWWWg.", ".gWWWWWWWWWg.", "..gWWWWWWWg..",
    "...gWWWWWg...", "....ggggg....", ".............",
};
constexpr const char* kRadioOn13[] = {
    ".............", "....ggggg....", "...gWWWWWg...", "..gWWWWWWWg..", ".gWWWkkkWWWg.",
    ".gWWkkkkkWWg.", ".gWWkkkkkWWg.", ".gWWkkkkkWWg.", ".gWWWkkkWWWg.", "..gWWWWWWWg..",
    "...gWWWWWg...", "....ggggg....", ".............",
};
constexpr const char* kWallpaperTiled13[] = {
    ".............", "ddddddddddddd", "dcccBcccBcccd", "dcccBcccBcccd", "deeeBeeeBeeed",
    "dBBBBBBBBBBBd", "dcccBcccBcccd", "dcccBcccBcccd", "deeeBeeeBeeed", "ddddddddddddd",
    ".....ddd.....", "...ddddddd...", ".............",
};
constexpr const char* kWallpaperNone13[] = {
    ".............", "ddddddddddddd", "dBBBBBBBBBBBd", "dBBBWBBBWBBBd", "dBBBBWBWBBBBd",
    "dBBBBBWBBBBBd", "dBBBBWBWBBBBd", "dBBBWBBBWBBBd", "dBBBBBBBBBBBd", "ddddddddddddd",
    ".....ddd.....", "...ddddddd...", ".............",
};
constexpr const char* kWallpaperStretched13[] = {
    ".............", "ddddddddddddd", "dcccccccccccd", "dcccccccyyccd", "dcccccccyyccd",
    "deecccccccccd", "deeeeccccceed", "deeeeeeeeeeed", "dGGGGGGGGGGGd", "ddddddddddddd",
    ".....ddd.....", "...ddddddd...", ".............",
};
constexpr const char* kWallpaperCentred13[] = {
    ".............", "ddddddddddddd", "dBBBBBBBBBBBd", "dBBBcccccBBBd", "dBBBccccyBBBd",
    "dBBBcccccBBBd", "dBBBeeeccBBBd", "dBBBeeeeeBBBd", "dBBBBBBBBBBBd", "ddddddddddddd",
    ".....ddd.....", "...ddddddd...", ".............",
};

constexpr Art kThumbnailViewArt16{kThumbnailView16}, kThumbnailViewArt24{kThumbnailView24};
constexpr Art kListViewArt16{kListView16}, kListViewArt24{kListView24};
constexpr Art kReportViewArt16{kReportView16}, kReportViewArt24{kReportView24};
constexpr Art kCropArt{kCrop13}, kToggleOnArt{kToggleOn13}, kToggleOffArt{kToggleOff13};
constexpr Art kRadioOffArt{kRadioOff13}, kRadioOnArt{kRadioOn13};
constexpr Art kWallpaperTiledArt{kWallpaperTiled13}, kWallpaperNoneArt{kWallpaperNone13};
constexpr Art kWallpaperStretchedArt{kWallpaperStretched13}, kWallpaperCentredArt{kWallpaperCentred13};

constexpr const char* kMagnifier = "actions/system-search";

constexpr ToolbarImage kToolbarImages[] = {
    {"actions/document-open", Sign::kNone, nullptr, nullptr},           // 0 Open
    {"actions/system-log-out", Sign::kNone, nullptr, nullptr},          // 1 Exit
    {"actions/document-save-as", Sign::kNone, nullptr, nullptr},        // 2 Save As
    {"actions/document-print", Sign::kNone, nullptr, nullptr},          // 3 Print
    {kMagnifier, Sign::kPlus, nullptr, nullptr},                        // 4 Zoom In
    {kMagnifier, Sign::kOneToOne, nullptr, nullptr},                    // 5 Zoom 100%
    {kMagnifier, Sign::kMinus, nullptr, nullptr},                       // 6 Zoom Out
    {"apps/help-browser", Sign::kNone, nullptr, nullptr},               // 7 About
    {"actions/edit-copy", Sign::kNone, nullptr, nullptr},               // 8 Copy to
    {"actions/go-jump", Sign::kNone, nullptr, nullptr},                 // 9 Move to
    {"actions/edit-delete", Sign::kNone, nullptr, nullptr},             // 10 Delete
    {"apps/accessories-text-editor", Sign::kNone, nullptr, nullptr},    // 11 Rename
    {"actions/go-next", Sign::kNone, nullptr, nullptr},                 // 12 Next
    {"actions/go-previous", Sign::kNone, nullptr, nullptr},             // 13 Previous
    {"mimetypes/x-office-presentation", Sign::kNone, nullptr, nullptr}, // 14 Slideshow
    {"actions/view-refresh", Sign::kNone, nullptr, nullptr},            // 15 Reload
    {"categories/preferences-system", Sign::kNone, nullptr, nullptr},   // 16 Options
    {"apps/system-file-manager", Sign::kNone, nullptr, nullptr},        // 17 Browse
    {nullptr, Sign::kNone, &kThumbnailViewArt16, &kThumbnailViewArt24}, // 18 thumbnail view
    {nullptr, Sign::kNone, &kListViewArt16, &kListViewArt24},           // 19 list view
    {nullptr, Sign::kNone, &kReportViewArt16, &kReportViewArt24},       // 20 report view
    {"mimetypes/x-office-drawing", Sign::kNone, nullptr, nullptr},       // 21 Catalog Creator
    {"actions/edit-undo", Sign::kNone, nullptr, nullptr},               // 22 Undo
};

constexpr MenuImage kMenuImages[] = {
    {146, "actions/edit-copy", Sign::kNone, nullptr},                // Copy to
    {147, "actions/go-jump", Sign::kNone, nullptr},                  // Move to
    {148, "actions/edit-delete", Sign::kNone, nullptr},              // Delete
    {149, "apps/accessories-text-editor", Sign::kNone, nullptr},     // Rename
    {150, kMagnifier, Sign::kPlus, nullptr},                         // Zoom In
    {151, kMagnifier, Sign::kMinus, nullptr},                        // Zoom Out
    {152, kMagnifier, Sign::kOneToOne, nullptr},                     // Original size
    {153, "actions/go-next", Sign::kNone, nullptr},                  // Next
    {154, "actions/go-previous", Sign::kNone, nullptr},              // Previous
    {155, "actions/document-print", Sign::kNone, nullptr},           // Print
    {156, "actions/document-save-as", Sign::kNone, nullptr},         // Save As
    {157, "mimetypes/x-office-presentation", Sign::kNone, nullptr},  // Slideshow
    {158, "actions/view-refresh", Sign::kNone, nullptr},             // Reload
    {160, "actions/document-open", Sign::kNone, nullptr},            // Open
    {161, "actions/system-log-out", Sign::kNone, nullptr},           // Exit
    {162, "actions/edit-undo", Sign::kNone, nullptr},                // Undo
    {163, "apps/system-file-manager", Sign::kNone, nullptr},         // Browse
    {164, "mimetypes/x-office-drawing", Sign::kNone, nullptr},       // Catalog Creator
    {166, "categories/applications-system", Sign::kNone, nullptr},   // Batch Conversion
    {167, "actions/edit-clear", Sign::kNone, nullptr},               // Database Maintenance
    {168, "categories/preferences-system", Sign::kNone, nullptr},    // Options
    {169, "actions/go-home", Sign::kNone, nullptr},                  // Restore Default Toolbar
    {170, "apps/help-browser", Sign::kNone, nullptr},                // About
    {171, "apps/internet-web-browser", Sign::kNone, nullptr},        // Homepage
    {172, "mimetypes/application-certificate", Sign::kNone, nullptr},// License
    {173, "mimetypes/text-x-generic", Sign::kNone, nullptr},         // Readme
    {174, "actions/document-new", Sign::kNone, nullptr},             // What's new
    {175, "actions/edit-copy", Sign::kNone, nullptr},                // Copy
    {176, nullptr, Sign::kNone, &kCropArt},                          // Crop
    {177, "actions/edit-cut", Sign::kNone, nullptr},                 // Cut
    {178, "actions/edit-paste", Sign::kNone, nullptr},               // Paste
    {179, "actions/edit-select-all", Sign::kNone, nullptr},          // Select All
    {180, nullptr, Sign::kNone, &kToggleOnArt},                      // a checked toggle
    {181, nullptr, Sign::kNone, &kToggleOffArt},                     // an unchecked toggle
    {183, nullptr, Sign::kNone, &kRadioOffArt},                      // an unchosen choice
    {184, nullptr, Sign::kNone, &kRadioOnArt},                       // the chosen choice
    {188, nullptr, Sign::kNone, &kWallpaperTiledArt},                // Wallpaper tiled
    {189, nullptr, Sign::kNone, &kWallpaperNoneArt},                 // Wallpaper removed
    {190, nullptr, Sign::kNone, &kWallpaperStretchedArt},            // Wallpaper stretched
    {191, nullptr, Sign::kNone, &kWallpaperCentredArt},              // Wallpaper centred
};

// Signs for the lens of the theme's magnifier at each size, with the corner
// they are drawn at.
struct PlacedSign {
    int size;
    Sign sign;
    int left, top;
    Art art;
};

constexpr const char* kPlus13[] = {"..k..", "..k..", "kkkkk", "..k..", "..k.."};
constexpr const char* kMinus13[] = {"kkkkk"};
constexpr const char* kOneToOne13[] = {"k...k", "k.k.k", "k...k", "k.k.k", "k...k"};
constexpr const char* kPlus16[] = {"..k..", "..k..", "kkkkk", "..k..", "..k.."};
constexpr const char* kMinus16[] = {"kkkkk"};
constexpr const char* kOneToOne16[] = {".k...k.", "kk.k.kk", ".k...k.", ".k.k.k.", ".k...k."};
constexpr const char* kPlus24[] = {"...kk...", "...kk...", "...kk...", "kkkkkkkk",
                                   "kkkkkkkk", "...kk...", "...kk...", "...kk..."};
constexpr const char* kMinus24[] = {"kkkkkkkk", "kkkkkkkk"};
constexpr const char* kOneToOne24[] = {".k....k", "kk...kk", ".k.k..k", ".k....k", ".k.k..k", ".k....k", ".k....k"};

constexpr PlacedSign kSigns[] = {
    {13, Sign::kPlus, 3, 3, {kPlus13}},      {13, Sign::kMinus, 3, 5, {kMinus13}},
    {13, Sign::kOneToOne, 3, 3, {kOneToOne13}}, {16, Sign::kPlus, 4, 4, {kPlus16}},
    {16, Sign::kMinus, 4, 6, {kMinus16}},    {16, Sign::kOneToOne, 3, 4, {kOneToOne16}},
    {24, Sign::kPlus, 5, 5, {kPlus24}},      {24, Sign::kMinus, 5, 8, {kMinus24}},
    {24, Sign::kOneToOne, 6, 6, {kOneToOne24}},
};

}  // namespace

std::span<const ToolbarImage> ToolbarImages() { return kToolbarImages; }

std::span<const MenuImage> MenuImages() { return kMenuImages; }

void StampSign(Layer& magnifier, Sign sign) {
    if (sign == Sign::kNone) return;
    for (const PlacedSign& placed : kSigns) {
        if (placed.size == magnifier.width() && placed.sign == sign) {
            Stamp(magnifier, placed.art, placed.left, placed.top);
            return;
        }
    }
    assert(!"no sign drawn for this size");
}

}  // namespace marbleye::artwork
