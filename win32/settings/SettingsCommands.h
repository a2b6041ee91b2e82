#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void ChooseLanguage(HWND window, int32_t id);

// The program's settings and texts.
inline constexpr CommandRoute kSettingsCommands[] = {
    {command::kSetLanguage, &ChooseLanguage},
};

}  // namespace marbleye::win32
