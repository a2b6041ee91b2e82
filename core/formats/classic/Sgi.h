#pragma once

#include <cstdint>
#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// SGI images of one byte per channel, verbatim or run-length, with 1 to 4
// channels (the fourth is ignored; of two, the first is read as grey).
Status ReadSgi(const std::string& path, LoadContext& context);

// compression: 0 verbatim, 1 run-length, 2 run-length with identical rows
// stored once.
Status WriteSgi(const std::string& path, const ImageCanvas& canvas, int32_t compression, Host& host);

}  // namespace marbleye
