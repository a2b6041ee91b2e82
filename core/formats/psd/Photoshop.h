#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Photoshop files: the merged picture of modes 0-4 and 7-9, raw or PackBits.
Status ReadPhotoshop(const std::string& path, LoadContext& context);

}  // namespace marbleye
