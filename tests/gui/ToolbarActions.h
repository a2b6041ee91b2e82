#pragma once

// The driver's actions on the program's toolbar.
#include <windows.h>

#include <string>

namespace marbleye::gui_driver {

// toolbar-look, toolbar-point ID, toolbar-buttons, toolbar-label ID and
// toolbar-state ID; the exit code, with the result printed.
int ToolbarAction(HWND window, const std::string& action, int id);

}  // namespace marbleye::gui_driver
