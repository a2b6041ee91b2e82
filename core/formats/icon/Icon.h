#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Windows icons: the image the system picks for 32 x 32, drawn on white.
Status ReadIcon(const std::string& path, LoadContext& context);

}  // namespace marbleye
