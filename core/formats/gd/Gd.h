#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// GD and GD2 pictures (a name ending in "2" is GD2), palette or true colour,
// shown in a 24-bit canvas. GD2 chunks may be stored raw or deflated.
Status ReadGd(const std::string& path, LoadContext& context);

}  // namespace marbleye
