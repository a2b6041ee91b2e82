#pragma once

#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Windows and OS/2 device-independent bitmaps (bmp, dib, rle). 16- and 32-bit
// pixels go to 24 bits, each bit field scaled to 8 bits; alpha is dropped.
Status ReadBmp(const std::string& path, LoadContext& context);

// Writes the canvas as an uncompressed bottom-up bitmap: at 24 bits when the
// picture was stored with more than 8 bits, otherwise at 8 bits with a
// 256-entry palette.
Status WriteBmp(const std::string& path, const ImageCanvas& canvas, int32_t fileBitDepth, Host& host);

}  // namespace marbleye
