#pragma once

#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Sun raster files of types 1 (standard), 2 (byte-encoded) and 3 (RGB), at
// 1, 8, 24 and 32 bits. Rows are padded to 16 bits, 24-bit rows included.
Status ReadSunRaster(const std::string& path, LoadContext& context);
Status WriteSunRaster(const std::string& path, const ImageCanvas& canvas, bool runLength, Host& host);

}  // namespace marbleye
