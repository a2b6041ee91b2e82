#pragma once

#include <string>

namespace marbleye::win32 {

// Loads a picture into the viewer and performs the after-load steps.
void LoadIntoViewer(const std::string& path);

// Opens a picture from outside the folder list (command line, hand-over,
// drop): builds the list for its folder, makes the folder current, loads it.
void OpenPicture(const std::string& path);

}  // namespace marbleye::win32
