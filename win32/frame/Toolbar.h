#pragma once

#include <cstdint>

namespace marbleye::win32 {

// The rebar across the top of the window with the toolbar in it, built from
// the slot table of the settings; false (after telling the user) on failure.
bool CreateToolbar();
void DestroyToolbar();

// Where a command's button starts, from the toolbar's left edge; 0 when the
// command has no button.
int ToolbarButtonOffset(int32_t commandId);

}  // namespace marbleye::win32
