#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/Palette.h"

namespace marbleye {

// A picture of several frames held as a strip of equal cells (GIF): what the
// viewer needs to play it.
struct FrameStrip {
    int32_t frameCount = 0;  // 0 or 1: no playback
    int32_t cellHeight = 0;
    std::vector<int32_t> delays;  // hundredths of a second, last frame first
};

// The frames and layers of an MNG stream (PNG and JNG files: one of each);
// zero for other pictures. More than one frame makes it an animation.
struct MngCounts {
    int32_t frameCount = 0;
    int32_t layerCount = 0;

    bool animated() const { return frameCount > 1; }
};

// What the program knows about the picture in the canvas besides its pixels.
struct CurrentImage {
    int32_t width = 0;          // as the reader determined it
    int32_t height = 0;
    int32_t fileBitDepth = -1;  // bits per pixel as stored; -1 without an image or after a failed load
    Palette256 palette{};       // filled by readers before a paletted canvas is created
    std::string path;           // the picture shown (set after every load that is not quiet)
    std::string loadingPath;    // the file being read right now
    int32_t formatId = -1;      // dispatcher code of the last load
    uint32_t loadTimeMs = 0;    // duration of the last load
    FrameStrip animation;       // set by readers of animated pictures
    MngCounts mngCounts;        // set by the MNG reader
};

}  // namespace marbleye
