#pragma once

#include <windows.h>

#include <optional>

#include "imaging/Quantize.h"

namespace marbleye::win32 {

// What "Quantize/Dither" chose: the depth (4, 8 or 16 bits) and the methods
// for it. The choices are for this run only; the settings stay as they are.
struct ColourReductionChoice {
    int bits;
    PaletteMethod palette;
    DitherType dither;
    HighColourDither highColourDither;
};

// "DITHERDLG", opening on 8 bits and on the stored methods; nothing when
// cancelled.
std::optional<ColourReductionChoice> AskColourReduction(HWND owner);

}  // namespace marbleye::win32
