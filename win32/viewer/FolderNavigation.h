#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace marbleye::win32 {

// Replaces the program's folder list with the image files of the folder; the
// position becomes the entry named like fileName (0 when none is).
size_t BuildProgramFolderList(const std::string& fileName, const std::string& folder);

// Loads the folder list's current entry.
void LoadFolderEntry();

// Next, Previous, First, Last, Random or Reload: moves through the folder
// list and loads the entry.
void Navigate(HWND window, int32_t commandId);

}  // namespace marbleye::win32
