#pragma once

#include <cstdint>
#include <string>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/gif/Gif.h"

namespace marbleye {

// Saves the picture for a name ending in ".mng". A picture loaded from a GIF
// file whose file still exists is read from it again as 8-bit frames; with
// two or more frames they become an MNG animation under `path`. Anything else
// is written as one PNG image under SingleImagePathFor(path): 24-bit RGB for
// pictures stored with more than 8 bits, otherwise 8-bit indices.
Status WriteMng(const std::string& path, const ImageCanvas& canvas, const CurrentImage& image, Host& host);

// The animation alone, from the frames as the GIF conversion reader returns
// them (last frame first, rows from the top).
Status WriteMngAnimation(const std::string& path, const GifFrames& frames, Host& host);

// The name the single image goes to: the last three characters of `path`
// replaced by "png" ("x.mng" becomes "x.png").
std::string SingleImagePathFor(const std::string& path);

}  // namespace marbleye
