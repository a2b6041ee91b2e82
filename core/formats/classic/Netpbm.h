#pragma once

#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"

namespace marbleye {

// Binary portable pixmap (P6) and graymap (P5) writers; grey is
// 0.299 red + 0.587 green + 0.114 blue, truncated.
Status WritePpm(const std::string& path, const ImageCanvas& canvas, Host& host);
Status WritePgm(const std::string& path, const ImageCanvas& canvas, Host& host);

}  // namespace marbleye
