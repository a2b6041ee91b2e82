#pragma once

#include <windows.h>

namespace marbleye::win32 {

enum class EffectDialogKind { kBlur, kPixelize, kSharpen };

// "EFF_BLURDLG", "EFF_PIXELIZEDLG" or "EFF_SHARPENDLG": sliders for the
// effect's settings, each with the edit field that shows its value. True when
// the effect is to run with the settings as they now are.
bool AskEffectSettings(HWND owner, EffectDialogKind kind);

}  // namespace marbleye::win32
