#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void OpenWithEditor(HWND window, int32_t id);
void ForgetEditors(HWND window, int32_t id);

// "Open with": the current file in another program.
inline constexpr CommandRoute kOpenWithCommands[] = {
    {command::kOpenWithPhotoshop, &OpenWithEditor},   {command::kOpenWithPaintShopPro, &OpenWithEditor},
    {command::kOpenWithPhotoPaint, &OpenWithEditor},  {command::kOpenWithMediaPlayer, &OpenWithEditor},
    {command::kOpenWithMediaPlayer64, &OpenWithEditor}, {command::kResetEditors, &ForgetEditors},
};

}  // namespace marbleye::win32
