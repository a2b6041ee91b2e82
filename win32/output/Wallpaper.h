#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void SetWallpaper(HWND window, int32_t id);
void RemoveWallpaper(HWND window, int32_t id);

// The picture as the desktop's wallpaper.
inline constexpr CommandRoute kWallpaperCommands[] = {
    {command::kWallpaperCentered, &SetWallpaper},
    {command::kWallpaperStretched, &SetWallpaper},
    {command::kWallpaperTiled, &SetWallpaper},
    {command::kWallpaperDelete, &RemoveWallpaper},
};

}  // namespace marbleye::win32
