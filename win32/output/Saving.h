#pragma once

#include <string>

namespace marbleye::win32 {

// Writes the picture with the writer the target's extension chooses; false
// (after telling the user) when that failed.
bool SavePicture(const std::string& path);

}  // namespace marbleye::win32
