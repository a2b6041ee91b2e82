#include "win32/frame/MenuBitmaps.h"

#include "commands/CommandList.h"
#include "commands/MenuLayout.h"

#include <array>
#include <map>

#include "win32/viewer/DibAllocator.h"
#include "win32/app/Program.h"

namespace marbleye::win32 {

namespace {

struct ItemPicture {
    int command;
    int bitmap;
};

// Plain items show the same picture checked and unchecked.
constexpr std::array<ItemPicture, 37> kItemPictures = {{
    {200, 160},   {201, 161},   {40040, 163}, {40077, 164}, {40062, 166}, {40080, 167}, {40033, 168},
    {40056, 169}, {40079, 162}, {40053, 175}, {40052, 177}, {40054, 178}, {40057, 176}, {40083, 179},
    {214, 146},   {215, 147},   {216, 148},   {217, 149},   {206, 150},   {207, 151},   {208, 152},
    {40002, 153}, {40003, 154}, {205, 155},   {40082, 156}, {40022, 158}, {40004, 157}, {203, 170},
    {40032, 173}, {40059, 171}, {40060, 171}, {40078, 172}, {40058, 174}, {40016, 189}, {40013, 191},
    {40014, 190}, {40015, 188},
}};

// Toggles show an unchecked and a checked picture; so do the radio-like items.
constexpr std::array<int, 12> kToggleItems = {40046, 40047, 40050, 40061, 40051, 40069,
                                              40071, 40072, 40073, 40074, 40075, 40086};
constexpr std::array<int, 5> kRadioItems = {40066, 40067, 40042, 40045, 40044};
constexpr int kToggleOff = 181, kToggleOn = 180, kRadioOff = 183, kRadioOn = 184;

std::map<int, HBITMAP> g_loaded;

HBITMAP Picture(int id) {
    auto found = g_loaded.find(id);
    if (found != g_loaded.end()) return found->second;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(App().instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP,
                                                     GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK),
                                                     LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION));
    g_loaded[id] = bitmap;
    return bitmap;
}

}  // namespace

void SetMenuBitmaps(HMENU menu) {
    if (!menu || GetDisplayDepth() < 9) return;
    for (const ItemPicture& item : kItemPictures) {
        SetMenuItemBitmaps(menu, static_cast<UINT>(item.command), MF_BYCOMMAND, Picture(item.bitmap),
                           Picture(item.bitmap));
    }
    for (int command : kToggleItems) {
        SetMenuItemBitmaps(menu, static_cast<UINT>(command), MF_BYCOMMAND, Picture(kToggleOff), Picture(kToggleOn));
    }
    for (int command : kRadioItems) {
        SetMenuItemBitmaps(menu, static_cast<UINT>(command), MF_BYCOMMAND, Picture(kRadioOff), Picture(kRadioOn));
    }
}

void SetToolbarMenuBitmaps(HMENU menu) {
    if (!menu || GetDisplayDepth() < 9) return;
    using namespace toolbar_menu;
    for (int command : {command::kShowToolbar, kShowToolTips}) {
        SetMenuItemBitmaps(menu, static_cast<UINT>(command), MF_BYCOMMAND, Picture(kToggleOff), Picture(kToggleOn));
    }
    for (int command : {kNoLabels, kLabelsRight, kLabelsBelow, kSmall, kMiddle, kBig, kLarge}) {
        SetMenuItemBitmaps(menu, static_cast<UINT>(command), MF_BYCOMMAND, Picture(kRadioOff), Picture(kRadioOn));
    }
}

void FreeMenuBitmaps() {
    for (auto& [id, bitmap] : g_loaded) {
        if (bitmap) DeleteObject(bitmap);
    }
    g_loaded.clear();
}

}  // namespace marbleye::win32
