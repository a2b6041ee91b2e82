#pragma once

#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Portable pixmaps and graymaps, plain (P3, P2) and raw (P6, P5); samples of
// other maxvals are scaled to 8 bits.
Status ReadNetpbm(const std::string& path, LoadContext& context);

// Binary portable pixmap (P6) and graymap (P5) writers; grey is
// 0.299 red + 0.587 green + 0.114 blue, truncated.
Status WritePpm(const std::string& path, const ImageCanvas& canvas, Host& host);
Status WritePgm(const std::string& path, const ImageCanvas& canvas, Host& host);

}  // namespace marbleye
