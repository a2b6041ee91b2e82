#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// TIFF files: small pictures through the library's RGBA reader into 32 bits,
// large ones row by row at their own depth (1-8 bits with their palette, 24
// and 32 bits); large pictures the row reader cannot take (tiles, separate
// planes, 16-bit samples, other colour spaces) go through the RGBA reader.
Status ReadTiff(const std::string& path, LoadContext& context);

// A TIFF held in memory (an EPS preview) through the RGBA reader.
Status ReadTiffPreview(std::span<const uint8_t> bytes, LoadContext& context);

// 24-bit RGB with the compression `TIFCompression` names: 0 none,
// 1 PackBits, 2 Deflate, 4 LZW, anything else JPEG at quality 75.
Status WriteTiff(const std::string& path, const ImageCanvas& canvas, int32_t compression, Host& host);

}  // namespace marbleye
