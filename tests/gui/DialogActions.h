#pragma once

// The driver's actions on the dialog the program shows; each returns the
// exit code and prints its result.
#include <windows.h>

namespace marbleye::gui_driver {

// The text of a control (0: the caption), waiting up to seconds for the dialog.
int DialogText(HWND window, int control, double seconds);
// Presses a button; closes says whether the dialog must then go.
int DialogPress(HWND window, int control, bool closes);
// The texts of a list view's column, one per line.
int DialogList(HWND window, int control, int column);
int DialogSelectRow(HWND window, int control, int row, bool doubleClick);
int DialogSetText(HWND window, int control, const char* text);
// A slider dragged to a position, as the trackbar reports the end of a drag.
int DialogSlider(HWND window, int control, int position);
// A row of a drop-down list chosen, as the list reports a choice.
int DialogChoose(HWND window, int control, int row);
// "enabled" or "disabled", "checked" or "unchecked", then for a drop-down
// list the text of its chosen row, for a slider its position.
int DialogState(HWND window, int control);
// A button clicked as the mouse does it: check boxes and radio buttons change.
int DialogToggle(HWND window, int control);

}  // namespace marbleye::gui_driver
