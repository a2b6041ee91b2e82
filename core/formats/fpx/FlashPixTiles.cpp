#include "formats/fpx/FlashPixTiles.h"

#include <algorithm>
#include <cstring>

#include "formats/jpeg/JpegLibrary.h"

namespace marbleye::fpx {

void FillSingleColour(uint32_t subtype, const TileShape& shape, uint8_t* pixels) {
    const size_t count = static_cast<size_t>(shape.width) * shape.height;
    for (size_t i = 0; i < count; ++i) {
        for (int32_t c = 0; c < shape.channels; ++c) {
            pixels[i * shape.channels + c] = static_cast<uint8_t>(subtype >> (8 * std::min(c, 3)));
        }
    }
}

namespace {

// The colour spaces the library is told for each channel count: with the
// coder's conversion the data is luma and chroma, without it the channels
// come out as stored.
void ChooseColourSpaces(jpeg_decompress_struct& info, int32_t channels, bool converted) {
    switch (channels) {
        case 1: info.jpeg_color_space = info.out_color_space = JCS_GRAYSCALE; break;
        case 3:
            info.jpeg_color_space = converted ? JCS_YCbCr : JCS_RGB;
            info.out_color_space = JCS_RGB;
            break;
        case 4:
            info.jpeg_color_space = converted ? JCS_YCCK : JCS_CMYK;
            info.out_color_space = JCS_CMYK;
            break;
        default: info.jpeg_color_space = info.out_color_space = JCS_UNKNOWN;
    }
}

// The library work of one tile. Between the setjmp and the library calls
// there is no object with a destructor.
bool RunDecoder(jpeg_decompress_struct& info, jpeg::ErrorTrap& trap, const std::vector<uint8_t>& tables,
                const std::vector<uint8_t>& tile, bool converted, const TileShape& shape, uint8_t* pixels) {
    if (setjmp(trap.jump)) return false;
    if (!tables.empty()) {
        jpeg_mem_src(&info, tables.data(), static_cast<unsigned long>(tables.size()));
        jpeg_read_header(&info, FALSE);
    }
    jpeg_mem_src(&info, tile.data(), static_cast<unsigned long>(tile.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    if (info.num_components != shape.channels) return false;
    if (info.image_width > static_cast<JDIMENSION>(shape.width) ||
        info.image_height > static_cast<JDIMENSION>(shape.height)) {
        return false;
    }
    ChooseColourSpaces(info, shape.channels, converted);
    jpeg::LimitDecoder(info, trap);
    jpeg_start_decompress(&info);
    if (info.output_components != shape.channels) return false;
    const size_t tileStride = static_cast<size_t>(shape.width) * shape.channels;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + tileStride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

bool DecodeJpegTile(const std::vector<uint8_t>& tables, const std::vector<uint8_t>& tile, bool colourConverted,
                    const TileShape& shape, uint8_t* pixels) {
    if (tile.empty()) return false;
    jpeg_decompress_struct info;
    jpeg::ErrorTrap trap;
    info.err = jpeg::Install(trap);
    jpeg_create_decompress(&info);
    const bool decoded = RunDecoder(info, trap, tables, tile, colourConverted, shape, pixels);
    jpeg_destroy_decompress(&info);
    if (decoded && shape.channels == 4 && colourConverted) {
        // The library turns four-channel luma and chroma into inverted colour
        // channels (its YCCK to CMYK step); the opacity channel is untouched.
        const size_t count = static_cast<size_t>(shape.width) * shape.height;
        for (size_t i = 0; i < count; ++i) {
            for (int c = 0; c < 3; ++c) pixels[i * 4 + c] = static_cast<uint8_t>(255 - pixels[i * 4 + c]);
        }
    }
    return decoded;
}

}  // namespace marbleye::fpx
