#include <memory>

#include "formats/jpeg/Jpeg.h"
#include "formats/jpeg/JpegLibrary.h"

namespace marbleye {

namespace {

struct StreamDecodeJob {
    jpeg_decompress_struct info;
    jpeg::ErrorTrap trap;
    PixelBuffer* target;
};

// Decodes the stream into a buffer made once the size is known. Holds no
// object with a destructor: the library's errors jump back here.
bool DecodeStream(StreamDecodeJob& job, std::FILE* stream, int32_t& width, int32_t& height, int32_t& depth) {
    jpeg_decompress_struct& info = job.info;
    info.err = jpeg::Install(job.trap);
    if (setjmp(job.trap.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg::LimitDecoder(info, job.trap);
    jpeg_stdio_src(&info, stream);
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_IFAST;
    if (info.num_components != 1) info.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&info);
    width = static_cast<int32_t>(info.output_width);
    height = static_cast<int32_t>(info.output_height);
    depth = info.output_components * 8;
    *job.target = PixelBuffer::Allocate(width, height, depth);
    if (job.target->empty()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = job.target->Row(static_cast<int32_t>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

std::optional<DecodedJpeg> JpegDecodeFromStream(std::FILE* stream) {
    if (!stream) return std::nullopt;
    DecodedJpeg decoded;
    auto job = std::make_unique<StreamDecodeJob>();
    job->target = &decoded.pixels;
    if (!DecodeStream(*job, stream, decoded.width, decoded.height, decoded.depth)) return std::nullopt;
    return decoded;
}

}  // namespace marbleye
