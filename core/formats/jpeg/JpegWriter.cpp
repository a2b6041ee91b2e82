#include <algorithm>
#include <cstring>
#include <memory>

#include "canvas/TrueColourRows.h"
#include "formats/jpeg/Jpeg.h"
#include "formats/jpeg/JpegLibrary.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

// Rows handed to the encoder: the first one and the distance to the next
// (negative for the canvas's bottom-up buffers, read from the top).
struct RowSource {
    const uint8_t* first;
    ptrdiff_t step;
    int32_t width;
    int32_t height;
    int components;
    J_COLOR_SPACE colourSpace;
};

struct EncodeJob {
    jpeg_compress_struct info;
    jpeg::ErrorTrap trap;
};

// Encodes the rows into the stream. Holds no object with a destructor: the
// library's errors jump back here.
bool Encode(EncodeJob& job, std::FILE* stream, const RowSource& rows, const JpegWriteOptions& options,
            ProgressScope* progress) {
    jpeg_compress_struct& info = job.info;
    info.err = jpeg::Install(job.trap);
    if (setjmp(job.trap.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, stream);
    info.image_width = static_cast<JDIMENSION>(rows.width);
    info.image_height = static_cast<JDIMENSION>(rows.height);
    info.input_components = rows.components;
    info.in_color_space = rows.colourSpace;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::clamp(options.quality, 1, 100), TRUE);
    info.smoothing_factor = std::clamp(options.smoothing, 0, 100);
    info.optimize_coding = options.optimize ? TRUE : FALSE;
    if (options.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const uint8_t* row = rows.first;
    while (info.next_scanline < info.image_height) {
        JSAMPROW pointer = const_cast<JSAMPROW>(row);
        jpeg_write_scanlines(&info, &pointer, 1);
        row += rows.step;
        if (progress) progress->Step();
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// 0.299 red + 0.587 green + 0.114 blue, truncated; in thousandths so that
// equal channels keep their value.
PixelBuffer GrayCopy(const TrueColourRows& colour) {
    PixelBuffer gray = PixelBuffer::Allocate(colour.width(), colour.height(), 8);
    if (gray.empty()) return gray;
    for (int32_t y = 0; y < colour.height(); ++y) {
        const uint8_t* bgr = colour.Row(y);
        uint8_t* target = gray.Row(y);
        for (int32_t x = 0; x < colour.width(); ++x) {
            target[x] = static_cast<uint8_t>((299 * bgr[x * 3 + 2] + 587 * bgr[x * 3 + 1] + 114 * bgr[x * 3]) / 1000);
        }
    }
    return gray;
}

template <typename Rows>
RowSource TopDown(const Rows& pixels, int components, J_COLOR_SPACE colourSpace) {
    return RowSource{pixels.Row(pixels.height() - 1), -static_cast<ptrdiff_t>(pixels.stride()), pixels.width(),
                     pixels.height(), components, colourSpace};
}

}  // namespace

Status WriteJpeg(const std::string& path, const ImageCanvas& canvas, const JpegWriteOptions& options, Host& host) {
    const TrueColourRows colour(canvas);
    if (colour.empty()) return Status::Fail("Insufficient Memory! Aborting...");
    PixelBuffer gray;
    if (!options.colour) {
        gray = GrayCopy(colour);
        if (gray.empty()) return Status::Fail("Insufficient GrayScaleMemory!");
    }
    OutputFile out;
    if (!out.Open(path)) return Status::Fail("Unable to open file: " + path);
    const RowSource rows = options.colour ? TopDown(colour, 3, JCS_EXT_BGR) : TopDown(gray, 1, JCS_GRAYSCALE);
    auto job = std::make_unique<EncodeJob>();
    ProgressScope progress(host, rows.height);
    if (!Encode(*job, out.stream(), rows, options, &progress)) {
        return Status::Fail(std::string("Error occured: ") + job->trap.message);
    }
    if (!out.Commit()) return Status::Fail("Error occured: write error");
    return Status::Ok();
}

bool JpegEncodeToStream(std::FILE* stream, const uint8_t* pixels, int32_t width, int32_t height,
                        const JpegWriteOptions& options) {
    if (!stream || !pixels || width <= 0 || height <= 0) return false;
    const auto stride = static_cast<ptrdiff_t>(RowStride(width, 24));
    const RowSource rows{pixels, stride, width, height, 3, JCS_RGB};
    auto job = std::make_unique<EncodeJob>();
    return Encode(*job, stream, rows, options, nullptr);
}

}  // namespace marbleye
