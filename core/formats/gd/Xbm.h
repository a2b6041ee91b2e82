#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// X bitmaps through the GD library, into a 1-bit canvas with GD's colours
// (white background, black bits).
Status ReadXbm(const std::string& path, LoadContext& context);

}  // namespace marbleye
