#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// FITS: the first image plane scaled to 256 greys.
Status ReadFits(const std::string& path, LoadContext& context);

}  // namespace marbleye
