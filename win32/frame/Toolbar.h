#pragma once

#include <windows.h>

#include <cstdint>

namespace marbleye::win32 {

// The rebar across the top of the window with the toolbar in it, built from
// the slot table of the settings; false (after telling the user) on failure.
bool CreateToolbar();
void DestroyToolbar();
// After any change of the toolbar's settings: made anew, the window sized
// again and the button states refreshed.
void RebuildToolbar();

// WM_NOTIFY from the toolbar's tooltips; true when answered.
bool AnswerToolTip(NMHDR* header);

// Moves the mouse pointer onto the command's toolbar button, so the next
// click repeats it; not for commands from the context menu or the wheel.
void MovePointerToButton(int32_t commandId);

}  // namespace marbleye::win32
