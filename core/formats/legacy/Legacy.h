#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Dr. Halo CUT with the palette of the ".pal" file of the same name, or the grey ramp.
Status ReadHaloCut(const std::string& path, LoadContext& context);
// HRZ slow-scan television pictures: 256 x 240, 6-bit components.
Status ReadHrz(const std::string& path, LoadContext& context);
// GEM bit images: 1 to 8 planes, or 24-bit colour with the 9-word header.
Status ReadGem(const std::string& path, LoadContext& context);
// The 100 x 100 16-colour preview of Zebra metafiles.
Status ReadZbr(const std::string& path, LoadContext& context);

}  // namespace marbleye
