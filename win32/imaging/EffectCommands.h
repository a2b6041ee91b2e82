#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void ResizePicture(HWND window, int32_t id);
void RunEffect(HWND window, int32_t id);
void ReduceColoursAsChosen(HWND window, int32_t id);

// The commands that change the picture after asking how (resize, the
// effects with settings, the custom colour reduction), and the effects that
// run at once; each takes an undo copy just before it changes the picture.
inline constexpr CommandRoute kEffectCommands[] = {
    {command::kResize, &ResizePicture},
    {command::kBlur, &RunEffect},
    {command::kPixelize, &RunEffect},
    {command::kSharpen, &RunEffect},
    {command::kSeamless, &RunEffect},
    {command::kButtonize, &RunEffect},
    {command::kCustomDither, &ReduceColoursAsChosen},
};

}  // namespace marbleye::win32
