#pragma once

#include <cstdint>
#include <string>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// PNG files with transparency composited over the file's background colour
// (white without one), 16-bit samples reduced to 8 bits and small samples
// unpacked: palette and gray pictures to 8 bits, colour to 24 bits, colour or
// gray with alpha to 32 bits (fourth byte 255). The stored depth is the
// file's samples x bits.
Status ReadPng(const std::string& path, LoadContext& context);

// Pictures deeper than 8 bits as 24-bit RGB (Adam7 when interlaced); others
// as a palette PNG. A picture loaded from a GIF file is taken from that file
// again: its first frame with its own palette and transparent colour.
Status WritePng(const std::string& path, const ImageCanvas& canvas, const CurrentImage& image, bool interlaced,
                Host& host);

// A single 8-bit palette image (or 24-bit RGB rows) written through the MNG
// library's PNG output; also the still-picture branch of the MNG writer.
struct PaletteImage {
    int32_t width = 0;
    int32_t height = 0;
    const uint8_t* indices = nullptr;  // rows from the top, `stride` bytes apart
    int32_t stride = 0;
    Palette256 palette{};
    int32_t transparentIndex = -1;
};
Status WritePalettePng(const std::string& path, const PaletteImage& picture, Host& host);
// A picture of 8 bits or less reduced to its 256-colour palette (the
// histogram's median cut, no dither) and written as a palette image.
Status WriteCanvasAsPalettePng(const std::string& path, const ImageCanvas& canvas, Host& host);

}  // namespace marbleye
