#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void ZoomBy(HWND window, int32_t id);
void SetViewStyle(HWND window, int32_t id);
void ToggleTiles(HWND window, int32_t id);
void ToggleAlwaysMaximize(HWND window, int32_t id);
void ToggleLockZoom(HWND window, int32_t id);
void StepThroughFolder(HWND window, int32_t id);
void SwitchFullScreen(HWND window, int32_t id);
void SwitchSlideshow(HWND window, int32_t id);
void SetVideoSize(HWND window, int32_t id);
void ToggleMediaSetting(HWND window, int32_t id);

// How the picture is shown, and which picture of the folder.
inline constexpr CommandRoute kViewerCommands[] = {
    {command::kZoomIn, &ZoomBy},
    {command::kZoomOut, &ZoomBy},
    {command::kOriginalSize, &ZoomBy},
    {command::kFitToWindow, &SetViewStyle},
    {command::kFitNone, &SetViewStyle},
    {command::kTilemap, &ToggleTiles},
    {command::kAlwaysMaximize, &ToggleAlwaysMaximize},
    {command::kLockZoom, &ToggleLockZoom},
    {command::kNext, &StepThroughFolder},
    {command::kPrevious, &StepThroughFolder},
    {command::kFirst, &StepThroughFolder},
    {command::kLast, &StepThroughFolder},
    {command::kRandom, &StepThroughFolder},
    {command::kReload, &StepThroughFolder},
    {command::kFullscreen, &SwitchFullScreen},
    {command::kSlideshow, &SwitchSlideshow},
    {command::kVideoNormalSize, &SetVideoSize},
    {command::kVideoDoubleSize, &SetVideoSize},
    {command::kVideoFullscreen, &SetVideoSize},
    {command::kShowPlaybar, &ToggleMediaSetting},
    {command::kLoopMedia, &ToggleMediaSetting},
};

}  // namespace marbleye::win32
