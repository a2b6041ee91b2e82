#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void ConvertColourDepth(HWND window, int32_t id);

// Changes to the picture's pixels.
inline constexpr CommandRoute kImageCommands[] = {
    {command::kConvertTo4Bit, &ConvertColourDepth},
    {command::kConvertTo8Bit, &ConvertColourDepth},
    {command::kConvertTo16Bit, &ConvertColourDepth},
    {command::kConvertTo24Bit, &ConvertColourDepth},
};

}  // namespace marbleye::win32
