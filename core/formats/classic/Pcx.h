#pragma once

#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// ZSoft PCX: 1, 2 and 4 bits in one plane or 1-bit planes, 8 bits, 24 bits
// in three planes.
Status ReadPcx(const std::string& path, LoadContext& context);

// At 8 bits with a 256-colour palette when the picture was stored with 8 bits
// or fewer, otherwise at 24 bits in three planes.
Status WritePcx(const std::string& path, const ImageCanvas& canvas, int32_t fileBitDepth, Host& host);

}  // namespace marbleye
