#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// JBIG (JBIG-KIT): one bit plane into a 1-bit canvas (white background,
// black bits); several planes merged into 8-bit gray.
Status ReadJbig(const std::string& path, LoadContext& context);

}  // namespace marbleye
