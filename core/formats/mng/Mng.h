#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// MNG and JNG files (and PNG files named so) through the MNG library: the
// first frame, on a 24-bit canvas, or 32 bits with alpha when the stream has
// transparency; the frames and layers of the stream into image.mngCounts.
// The program plays the animation afterwards with an MngPlayer.
Status ReadMng(const std::string& path, LoadContext& context);

}  // namespace marbleye
