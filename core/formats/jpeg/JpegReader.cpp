#include <cstring>
#include <memory>

#include "canvas/PixelLimits.h"
#include "formats/jpeg/Jpeg.h"
#include "formats/jpeg/JpegLibrary.h"
#include "io/StdioFile.h"

namespace marbleye {

namespace {

enum class DecodeOutcome { kDone, kLibraryError, kOutOfMemory };

// Everything the decode needs, in one block that outlives the jump.
struct DecodeJob {
    jpeg_decompress_struct info;
    jpeg::ErrorTrap trap;
};

// Decodes the stream at the file's position into the canvas, rows from the
// top. Holds no object with a destructor: the library's errors jump back here.
DecodeOutcome DecodeIntoCanvas(DecodeJob& job, std::FILE* file, LoadContext& context) {
    jpeg_decompress_struct& info = job.info;
    info.err = jpeg::Install(job.trap);
    if (setjmp(job.trap.jump)) {
        jpeg_destroy_decompress(&info);
        return DecodeOutcome::kLibraryError;
    }
    jpeg_create_decompress(&info);
    jpeg::LimitDecoder(info, job.trap);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);

    const bool fourComponents = info.num_components == 4;
    if (info.num_components == 1) {
        info.out_color_space = JCS_GRAYSCALE;
    } else if (fourComponents) {
        info.out_color_space = JCS_CMYK;
    } else {
        info.out_color_space = JCS_EXT_BGR;
    }
    info.scale_num = 1;
    info.scale_denom = 1;
    if (context.options.thumbnail) {
        info.dct_method = JDCT_IFAST;
        info.scale_denom = static_cast<unsigned>(JpegThumbnailDenominator(
            info.image_width, info.image_height, context.options.thumbnailWidth, context.options.thumbnailHeight));
    }
    jpeg_calc_output_dimensions(&info);
    const int depth = info.output_components * 8;
    if (!CheckedLayout(info.output_width, info.output_height, depth)) {
        jpeg_destroy_decompress(&info);
        return DecodeOutcome::kOutOfMemory;
    }
    jpeg_start_decompress(&info);

    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(info.output_width * info.scale_denom);
    image.height = static_cast<int32_t>(info.output_height * info.scale_denom);
    image.fileBitDepth = depth;
    if (depth == 8) image.palette = GrayRamp();
    const auto width = static_cast<int32_t>(info.output_width);
    const auto height = static_cast<int32_t>(info.output_height);
    if (!context.canvas.Create(width, height, depth, 0, image.palette)) {
        jpeg_destroy_decompress(&info);
        return DecodeOutcome::kOutOfMemory;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = context.canvas.Row(height - 1 - static_cast<int32_t>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
        if (fourComponents) {
            for (int32_t x = 0; x < width; ++x) std::swap(row[x * 4], row[x * 4 + 2]);
        }
        context.RowDone();
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return DecodeOutcome::kDone;
}

Status DecodeFrom(StdioFile file, LoadContext& context) {
    auto job = std::make_unique<DecodeJob>();
    switch (DecodeIntoCanvas(*job, file.get(), context)) {
        case DecodeOutcome::kDone:
            return Status::Ok();
        case DecodeOutcome::kOutOfMemory:
            return Status::Fail("Out of Memory");
        case DecodeOutcome::kLibraryError:
            break;
    }
    return Status::Fail(job->trap.message);
}

Status ReadEmbedded(const std::string& path, long offset, LoadContext& context) {
    StdioFile file = OpenForReading(path);
    if (!file) return Status::Fail("Unable to open file!");
    if (std::fseek(file.get(), offset, SEEK_SET) != 0) return Status::Fail("Unable to open file!");
    return DecodeFrom(std::move(file), context);
}

}  // namespace

int32_t JpegThumbnailDenominator(int64_t width, int64_t height, int32_t thumbnailWidth, int32_t thumbnailHeight) {
    const bool wide = width >= height;
    const int64_t side = wide ? width : height;
    const int64_t thumbnailSide = wide ? thumbnailWidth : thumbnailHeight;
    for (const int32_t denominator : {8, 4, 2}) {
        if (side > denominator * thumbnailSide) return denominator;
    }
    return 1;
}

Status ReadJpeg(const std::string& path, LoadContext& context) { return ReadEmbedded(path, 0, context); }

Status ReadCameraJpeg(const std::string& path, LoadContext& context) { return ReadEmbedded(path, 54, context); }

Status ReadLviewJpeg(const std::string& path, LoadContext& context) { return ReadEmbedded(path, 101, context); }

Status ReadPspPreview(const std::string& path, LoadContext& context) {
    StdioFile file = OpenForReading(path);
    if (!file) return Status::Fail("Unable to open file!");
    // The JFIF identifier sits 6 bytes into the stream: start-of-image
    // marker, APP0 marker and segment length come first.
    constexpr char kIdentifier[] = "JFIF";
    long position = 0;
    int matched = 0;
    for (int c; (c = std::fgetc(file.get())) != EOF; ++position) {
        matched = c == kIdentifier[matched] ? matched + 1 : (c == kIdentifier[0] ? 1 : 0);
        if (matched == 4 && position + 1 >= 10) {
            if (std::fseek(file.get(), position + 1 - 10, SEEK_SET) != 0) break;
            return DecodeFrom(std::move(file), context);
        }
        if (matched == 4) matched = 0;
    }
    return Status::Fail("No JPG-PreviewImage found.");
}

}  // namespace marbleye
