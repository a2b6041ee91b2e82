#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// IFF ILBM and PBM pictures in FORM, LIST or CAT containers.
Status ReadIff(const std::string& path, LoadContext& context);

}  // namespace marbleye
