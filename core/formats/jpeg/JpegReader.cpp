#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/jpeg/Jpeg.h"
#include "formats/jpeg/JpegLibrary.h"
#include "io/StdioFile.h"

namespace marbleye {

namespace {

// Huffman coding spends at least one bit on every 8 x 8 block of every
// component (the code of its DC difference), so a byte of the file describes
// at most 8 blocks. Arithmetic coding can spend less on a flat picture; it is
// held to the same rule, which photographs stay far from.
constexpr uint64_t kBlocksPerCodedByte = 8;

enum class DecodeOutcome { kDone, kLibraryError, kOutOfMemory };

// Everything the decode needs, in one block that outlives the jump.
struct DecodeJob {
    jpeg_decompress_struct info;
    jpeg::ErrorTrap trap;
    uint64_t fileSize = 0;
};

uint64_t BlockCount(const jpeg_decompress_struct& info) {
    uint64_t blocks = 0;
    for (int i = 0; i < info.num_components; ++i) {
        blocks += uint64_t{info.comp_info[i].width_in_blocks} * info.comp_info[i].height_in_blocks;
    }
    return std::max<uint64_t>(blocks, 1);
}

// Whether the rest of the file, from the first scan on, can hold the frame's
// samples; checked before the library allocates for the frame.
bool FileCanHoldFrame(const jpeg_decompress_struct& info, std::FILE* file, uint64_t fileSize) {
    const long read = std::ftell(file);
    const uint64_t position = read < 0 ? fileSize : static_cast<uint64_t>(read) - info.src->bytes_in_buffer;
    const uint64_t coded = fileSize - std::min(position, fileSize);
    const uint64_t samples = uint64_t{info.image_width} * info.image_height * info.num_components;
    const uint64_t blocks = BlockCount(info);
    const uint64_t samplesPerCodedByte = (samples * kBlocksPerCodedByte + blocks - 1) / blocks;
    return FileCanHold(samples, coded, samplesPerCodedByte);
}

// A channel under ink of its own colour and black ink (0 none, 255 full),
// rounded: (255 - ink) x (255 - black) / 255.
uint8_t UnderInk(uint8_t ink, uint8_t black) { return static_cast<uint8_t>(((255 - ink) * (255 - black) + 127) / 255); }

// Cyan, magenta, yellow and black to blue, green, red and 255, in place.
// Files with Adobe's marker store every value inverted (255 is no ink).
void CmykToColours(uint8_t* row, int32_t width, bool inverted) {
    const uint8_t flip = inverted ? 255 : 0;
    for (int32_t x = 0; x < width; ++x) {
        uint8_t* p = row + static_cast<size_t>(x) * 4;
        const uint8_t cyan = p[0] ^ flip, magenta = p[1] ^ flip, yellow = p[2] ^ flip, black = p[3] ^ flip;
        p[0] = UnderInk(yellow, black);
        p[1] = UnderInk(magenta, black);
        p[2] = UnderInk(cyan, black);
        p[3] = 255;
    }
}

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
    if (!CheckedLayout(info.output_width, info.output_height, depth) ||
        !FileCanHoldFrame(info, file, job.fileSize)) {
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
        if (fourComponents) CmykToColours(row, width, info.saw_Adobe_marker);
        context.RowDone();
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return DecodeOutcome::kDone;
}

Status DecodeFrom(StdioFile file, uint64_t fileSize, LoadContext& context) {
    auto job = std::make_unique<DecodeJob>();
    job->fileSize = fileSize;
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

uint64_t FileSizeOf(const std::string& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

Status ReadEmbedded(const std::string& path, long offset, LoadContext& context) {
    StdioFile file = OpenForReading(path);
    if (!file) return Status::Fail("Unable to open file!");
    if (std::fseek(file.get(), offset, SEEK_SET) != 0) return Status::Fail("Unable to open file!");
    return DecodeFrom(std::move(file), FileSizeOf(path), context);
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
            return DecodeFrom(std::move(file), FileSizeOf(path), context);
        }
        if (matched == 4) matched = 0;
    }
    return Status::Fail("No JPG-PreviewImage found.");
}

}  // namespace marbleye
