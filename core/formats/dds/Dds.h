#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// DirectDraw surfaces: the top mip level of the first surface, stored with
// bit masks at 8, 16, 24 or 32 bits (colour or luminance, with or without
// alpha) or as DXT1/BC1, DXT2/DXT3/BC2 and DXT4/DXT5/BC3 blocks, with the
// legacy header or the extended one. Pictures with alpha go to a 32-bit
// canvas (alpha in the fourth byte), the others to a 24-bit one.
Status ReadDds(const std::string& path, LoadContext& context);

}  // namespace marbleye
