#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void OpenFromDialog(HWND window, int32_t id);
void Exit(HWND window, int32_t id);
void ShowAbout(HWND window, int32_t id);

// The program as a whole.
inline constexpr CommandRoute kAppCommands[] = {
    {command::kOpen, &OpenFromDialog},
    {command::kExit, &Exit},
    {command::kAbout, &ShowAbout},
};

}  // namespace marbleye::win32
