#pragma once

namespace marbleye::win32 {

void CreateStatusBar();
void DestroyStatusBar();

// The window title and the six status fields for the current picture.
void UpdateTitleAndStatus();

}  // namespace marbleye::win32
