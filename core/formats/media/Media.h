#pragma once

#include <string>
#include <string_view>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

inline constexpr std::string_view kMediaNeedsProgramMessage =
    "Video and sound files are played by the Marbleye program only.";

// Video and sound files. The viewer plays them in the front end's media
// window; the canvas holds a video's first frame, or for sound a black
// picture the size of the media window. Thumbnails get the first frame only.
Status ReadMedia(const std::string& path, LoadContext& context);

}  // namespace marbleye
