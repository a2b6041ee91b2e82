#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Placing the window and painting the picture.
void SizeWindowToImage(int displayWidth, int displayHeight);
void SizeWindowToCanvas();  // for the canvas at the current zoom
void UpdateScrollState();
void PaintViewer(HWND window);
void ZoomCommand(int commandId);
void ClampScrollOffsets();

// Mouse, keys and wheel in the viewer; true when the message was handled.
bool HandleViewerInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Title, status bar, menus, toolbar: refreshed after every change.
void CreateStatusBar();
void UpdateTitleAndStatus();
void UpdateMenuState();
void UpdateToolbarState();
void RefreshAfterChange();  // title and status, menus and toolbar, repaint

bool CreateToolbar();
int ToolbarButtonOffset(int commandId);
int MenuBarWidth();

}  // namespace marbleye::win32
