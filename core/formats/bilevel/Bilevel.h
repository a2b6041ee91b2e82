#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// MacPaint: 576 x 720 at 1 bit, PackBits rows; data at 640, 512 or 0.
Status ReadMacPaint(const std::string& path, LoadContext& context);
// Microsoft Paint versions 1 (raw rows) and 2 (coded rows after the row-size table).
Status ReadMsPaint(const std::string& path, LoadContext& context);
// Portable bitmaps P1 and P4 into an 8-bit canvas, reported as 1 bit.
Status ReadPbm(const std::string& path, LoadContext& context);
// Wireless bitmaps of type 0, 1 to 500 pixels each way.
Status ReadWbmp(const std::string& path, LoadContext& context);

}  // namespace marbleye
