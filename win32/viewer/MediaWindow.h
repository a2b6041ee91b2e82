#pragma once

#include <windows.h>
#include <vfw.h>

#include <string>

#include "common/Host.h"

namespace marbleye::win32 {

// The media window: the system's MCI window, a child of the main window,
// playing the current video or sound file with or without its play bar
// ("ShowPlaybar"), from the start again when it ends ("Loop"), at the size
// the setting "Size" chose.

// Opens the file in a new, still hidden media window (closing an old one).
MediaOpening OpenMediaWindow(const std::string& path);
void CloseMediaWindow();
bool MediaWindowOpen();
double MediaLengthSeconds();

// The media window's size for a video shown at zoom times its size.
SIZE MediaWindowSize(float zoom);
// Sizes the media window for the zoom, centres it in the viewing area and
// shows it.
void PlaceMediaWindow(float zoom);
// Shows it and starts playing.
void StartMediaWindow(float zoom);
// Shows or hides the play bar: full screen hides it, and so does the
// setting.
void ShowMediaPlaybar(bool show);

// The media window tells its parent when its mode changes; a clip that
// played to its end starts again while "Loop" is set.
inline constexpr UINT kMediaModeMessage = MCIWNDM_NOTIFYMODE;
LRESULT OnMediaModeChanged(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace marbleye::win32
