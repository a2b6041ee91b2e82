#pragma once

#include <windows.h>

#include <cstdint>

namespace marbleye::win32 {

// Placing the window and painting the picture.
void SizeWindowToImage(int displayWidth, int displayHeight);
void SizeWindowToCanvas();  // for the canvas at the current zoom
void UpdateScrollState();
void ClampScrollOffsets();
void PaintViewer(HWND window);

// Zoom in, zoom out or back to 100 %, by the command.
void Zoom(int32_t commandId);

}  // namespace marbleye::win32
