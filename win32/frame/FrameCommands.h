#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void ToggleToolbar(HWND window, int32_t id);
void ToggleStatusbar(HWND window, int32_t id);
void ToggleLastWindowPosition(HWND window, int32_t id);
void SaveWindowPosition(HWND window, int32_t id);
void RestoreDefaultToolbar(HWND window, int32_t id);

// The window's frame: toolbar, status bar and the remembered window place.
inline constexpr CommandRoute kFrameCommands[] = {
    {command::kShowToolbar, &ToggleToolbar},
    {command::kShowStatusbar, &ToggleStatusbar},
    {command::kUseLastWindowPosition, &ToggleLastWindowPosition},
    {command::kSaveWindowPosition, &SaveWindowPosition},
    {command::kRestoreToolbar, &RestoreDefaultToolbar},
};

}  // namespace marbleye::win32
