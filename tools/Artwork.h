#pragma once

// Where each toolbar and menu picture comes from: an icon of the Tango theme
// (public domain, see docs/ARTWORK.md) by its folder and name, or one of our
// own drawings where the theme has nothing fitting.
#include <span>

#include "IconLayer.h"

namespace marbleye::artwork {

// The zoom commands show the theme's magnifier with a sign drawn in its lens.
enum class Sign { kNone, kPlus, kMinus, kOneToOne };

// A toolbar picture: the theme icon named, or else the two drawings
// (16 x 16 and 24 x 24).
struct ToolbarImage {
    const char* icon;
    Sign sign;
    const Art* drawn16;
    const Art* drawn24;
};

// A 13 x 13 menu item picture by resource number: the theme's 16 x 16 icon
// scaled down, or else the drawing.
struct MenuImage {
    int id;
    const char* icon;
    Sign sign;
    const Art* drawn13;
};

// Indexed by the toolbar's image numbers.
std::span<const ToolbarImage> ToolbarImages();
std::span<const MenuImage> MenuImages();

// Draws the sign into a magnifier of 13, 16 or 24 pixels.
void StampSign(Layer& magnifier, Sign sign);

}  // namespace marbleye::artwork
