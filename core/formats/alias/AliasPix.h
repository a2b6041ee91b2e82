#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"
#include "canvas/ImageCanvas.h"
#include "common/Host.h"

namespace marbleye {

// Alias/Wavefront PIX at 8 and 24 bits.
Status ReadAliasPix(const std::string& path, LoadContext& context);
// Writes the canvas at 24 bits as run-length rows, top row first.
Status WriteAliasPix(const std::string& path, const ImageCanvas& canvas, Host& host);

}  // namespace marbleye
