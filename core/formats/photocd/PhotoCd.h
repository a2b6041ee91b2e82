#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Kodak Photo CD at 192 x 128, 384 x 256 or 768 x 512 (LoadOptions::photoCdSize).
Status ReadPhotoCd(const std::string& path, LoadContext& context);

}  // namespace marbleye
