#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Attaches the item pictures to the main menu (only on screens of more than
// 8 bits) and frees them again.
void SetMenuBitmaps(HMENU menu);
void FreeMenuBitmaps();

}  // namespace marbleye::win32
