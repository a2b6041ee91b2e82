#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// DjVu pages and documents (the first page) and IW44 pictures, decoded by
// the DjVu library: bitonal pages into a 1-bit canvas, gray IW44 into 8-bit
// gray, everything else into 24 bits.
Status ReadDjvu(const std::string& path, LoadContext& context);

}  // namespace marbleye
