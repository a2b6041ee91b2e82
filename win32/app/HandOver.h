#pragma once

#include <windows.h>

#include <cstddef>

namespace marbleye::win32 {

// A second instance hands its command line to the first in a WM_COPYDATA
// message with this tag and a buffer of this size.
inline constexpr ULONG_PTR kHandOverTag = 32;
inline constexpr size_t kHandOverSize = 2048;

inline constexpr const char* kMainWindowClass = "MarbleyeClass";
inline constexpr const char* kInstanceMutex = "MARBLEYEMUTEX";

}  // namespace marbleye::win32
