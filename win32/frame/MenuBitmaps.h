#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Attaches the item pictures to the main menu (only on screens of more than
// 8 bits) and frees them again.
void SetMenuBitmaps(HMENU menu);
// The toolbar's context menu reuses command numbers with meanings of its
// own, so its pictures are its own too.
void SetToolbarMenuBitmaps(HMENU menu);
void FreeMenuBitmaps();

}  // namespace marbleye::win32
