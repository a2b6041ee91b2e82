#pragma once

#include <windows.h>

namespace marbleye::win32 {

// The main window's timers.
inline constexpr UINT_PTR kSlideshowTimer = 1;
inline constexpr UINT_PTR kAnimationTimer = 2;

}  // namespace marbleye::win32
