#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Photoshop files: the merged picture of modes 0-4 and 7-9, raw or PackBits,
// at 1, 8, 16 or 32 bits per channel (the wider channels shown at 8 bits).
Status ReadPhotoshop(const std::string& path, LoadContext& context);

}  // namespace marbleye
