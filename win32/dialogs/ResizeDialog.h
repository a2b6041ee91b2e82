#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "imaging/Resample.h"

namespace marbleye::win32 {

struct ResizeChoice {
    uint32_t width, height;
    ScaleFilterId filter;
};

// "RESIZEDLG" for a picture of the given size: the new size and the scale
// filter, or nothing when cancelled. Every button stores the state of
// "constrain proportions" in the settings.
std::optional<ResizeChoice> AskNewSize(HWND owner, int32_t width, int32_t height);

}  // namespace marbleye::win32
