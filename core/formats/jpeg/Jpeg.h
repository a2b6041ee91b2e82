#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "canvas/ImageCanvas.h"
#include "canvas/PixelBuffer.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// JPEG files: gray to an 8-bit canvas with the gray ramp, colour to 24 bits,
// four components (CMYK, or YCCK which the library turns into CMYK) to their
// colours in 32 bits with 255 in the fourth byte. Thumbnail loads decode at a
// reduced scale with the fast integer transform.
Status ReadJpeg(const std::string& path, LoadContext& context);
// The JPEG stream inside a camera file (from byte 54) and an LView Pro file
// (from byte 101).
Status ReadCameraJpeg(const std::string& path, LoadContext& context);
Status ReadLviewJpeg(const std::string& path, LoadContext& context);
// The JFIF preview inside a Paint Shop Pro file.
Status ReadPspPreview(const std::string& path, LoadContext& context);

struct JpegWriteOptions {
    int32_t quality = 80;  // 1..100
    bool colour = true;    // false: one gray component
    bool optimize = true;  // optimised Huffman tables
    int32_t smoothing = 0;  // 0..100
    bool progressive = false;
};

Status WriteJpeg(const std::string& path, const ImageCanvas& canvas, const JpegWriteOptions& options, Host& host);

// The JPEG streams of the thumbnail cache and catalog files. The encoder takes
// 24-bit rows padded to 4 bytes, first row first, their bytes handed over as
// they are; the decoder gives the rows back in the same order and layout
// (depth 8 for a gray stream). Both work at the stream's current position.
bool JpegEncodeToStream(std::FILE* stream, const uint8_t* pixels, int32_t width, int32_t height,
                        const JpegWriteOptions& options);

struct DecodedJpeg {
    PixelBuffer pixels;  // first decoded row at the start of the buffer
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;  // components x 8
};
std::optional<DecodedJpeg> JpegDecodeFromStream(std::FILE* stream);

// The scale denominator (1, 2, 4 or 8) of a thumbnail decode: the largest
// whose reduced picture keeps its larger side above the thumbnail's size.
int32_t JpegThumbnailDenominator(int64_t width, int64_t height, int32_t thumbnailWidth, int32_t thumbnailHeight);

}  // namespace marbleye
