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

// The frames of a GIF as 8-bit indices, for turning an animation into MNG.
// Cells have the size of the first frame (larger frames are cut, at 0, 0);
// every index is copied, transparent ones too; the fill is the background
// index or 255. The cells and the per-frame tables run from the last frame
// to the first, and each cell's rows from the top down.
struct GifFrames {
    Status status = Status::Ok();
    int32_t width = 0, height = 0, frameCount = 0;
    std::vector<uint8_t> indices;
    Palette256 palette{};  // the first frame's colours
    std::vector<int32_t> delays;
    std::vector<uint8_t> disposals;
    std::vector<int32_t> transparents;  // -1 for none
};
GifFrames LoadGifFramesForConversion(const std::string& path);

// Writes the picture as a single-image GIF87a. Pictures stored with more than
// 8 bits are reduced with the given method and dither; others keep their
// colours.
Status WriteGif(const std::string& path, const ImageCanvas& canvas, int32_t fileBitDepth, PaletteMethod method,
                DitherType dither, Host& host);

}  // namespace marbleye
