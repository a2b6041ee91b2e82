#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"
#include "imaging/Quantize.h"

namespace marbleye {

// GIF 87a and 89a. All frames are composed into one 24-bit frame strip, the
// cells stacked from the bottom of the picture up; with two or more frames
// the playback data lands in CurrentImage::animation.
Status ReadGif(const std::string& path, LoadContext& context);

// Writes the picture as a single-image GIF87a. Pictures stored with more than
// 8 bits are reduced with the given method and dither; others keep their
// colours.
Status WriteGif(const std::string& path, const ImageCanvas& canvas, int32_t fileBitDepth, PaletteMethod method,
                DitherType dither, Host& host);

}  // namespace marbleye
