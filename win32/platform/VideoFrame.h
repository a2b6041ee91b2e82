#pragma once

#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"

namespace marbleye::win32 {

// The first frame of the file's first video stream through the system's AVI
// file services, decoded by its codecs and drawn into a 24-bit canvas.
VideoFrameLoad LoadVideoFrameThroughSystem(const std::string& path, ImageCanvas& canvas);

}  // namespace marbleye::win32
