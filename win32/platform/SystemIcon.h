#pragma once

#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"

namespace marbleye::win32 {

// Loads an icon file through the system as a 32 x 32 icon and draws it on a
// white 24-bit canvas of that size.
IconLoad LoadSystemIcon(const std::string& path, ImageCanvas& canvas);

}  // namespace marbleye::win32
