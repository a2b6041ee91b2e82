#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <png.h>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/png/Png.h"
#include "io/StdioFile.h"

namespace marbleye {

namespace {

// How the decoded rows (after the library's transforms) reach the canvas.
enum class RowKind {
    kIndices,        // palette indices, one byte each: copied
    kGray,           // gray bytes: copied
    kGrayAlpha,      // gray with alpha (gray pictures with a transparent value)
    kColour,         // blue, green, red: copied
    kColourAlpha,    // blue, green, red, alpha: composited
};

// A row in flight and what the compositing needs; lives outside the function
// that the library's errors jump back to.
struct ReadJob {
    uint64_t fileSize = 0;
    std::vector<uint8_t> row;
    uint8_t background[3] = {255, 255, 255};  // blue, green, red
};

void RememberError(png_structp png, png_const_charp) {
    std::longjmp(png_jmpbuf(png), 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

inline uint8_t Over(uint32_t value, uint32_t alpha, uint32_t background) {
    return static_cast<uint8_t>((value * alpha + background * (255 - alpha) + 127) / 255);
}

// The file's background colour as 8-bit blue, green, red, read before any
// transform is set.
void ReadBackground(png_structp png, png_infop info, ReadJob& job) {
    png_color_16p background = nullptr;
    if (!png_get_bKGD(png, info, &background) || !background) return;
    const int colourType = png_get_color_type(png, info);
    const int bits = png_get_bit_depth(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (!png_get_PLTE(png, info, &palette, &count) || background->index >= count) return;
        job.background[0] = palette[background->index].blue;
        job.background[1] = palette[background->index].green;
        job.background[2] = palette[background->index].red;
        return;
    }
    const uint32_t top = (1u << bits) - 1;
    const auto scale = [top](uint32_t value) {
        return static_cast<uint8_t>((std::min(value, top) * 255u + top / 2) / top);
    };
    if (colourType & PNG_COLOR_MASK_COLOR) {
        job.background[0] = scale(background->blue);
        job.background[1] = scale(background->green);
        job.background[2] = scale(background->red);
    } else {
        job.background[0] = job.background[1] = job.background[2] = scale(background->gray);
    }
}

void CompositePalette(png_structp png, png_infop info, const ReadJob& job, Palette256& palette) {
    png_bytep alphas = nullptr;
    int count = 0;
    if (!png_get_tRNS(png, info, &alphas, &count, nullptr) || !alphas) return;
    for (int i = 0; i < count && i < 256; ++i) {
        for (int c = 0; c < 3; ++c) palette[i * 3 + c] = Over(palette[i * 3 + c], alphas[i], job.background[2 - c]);
    }
}

// Colour with alpha goes to 32 bits with a fourth byte of 255, or to 24 bits
// for colour pictures with a transparent value.
void StoreRow(RowKind kind, const uint8_t* source, int32_t width, int depth, const ReadJob& job, uint8_t* target) {
    switch (kind) {
        case RowKind::kIndices:
        case RowKind::kGray:
            std::copy(source, source + width, target);
            break;
        case RowKind::kColour:
            std::copy(source, source + static_cast<size_t>(width) * 3, target);
            break;
        case RowKind::kGrayAlpha:
            for (int32_t x = 0; x < width; ++x) target[x] = Over(source[x * 2], source[x * 2 + 1], job.background[0]);
            break;
        case RowKind::kColourAlpha: {
            const int step = depth / 8;
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t* pixel = source + x * 4;
                uint8_t* out = target + x * step;
                for (int c = 0; c < 3; ++c) out[c] = Over(pixel[c], pixel[3], job.background[c]);
                if (step == 4) out[3] = 255;
            }
            break;
        }
    }
}

enum class ReadOutcome { kDone, kLibraryError, kOutOfMemory };

// The size of an open file, leaving its position where it was.
uint64_t FileSizeOf(std::FILE* file) {
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
    const long size = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return size < 0 ? 0 : static_cast<uint64_t>(size);
}

// Everything that runs under the library's error jump. Holds no object with a
// destructor: the jump skips them.
ReadOutcome ReadWithLibrary(png_structp png, png_infop info, std::FILE* file, ReadJob& job, LoadContext& context) {
    if (setjmp(png_jmpbuf(png))) return ReadOutcome::kLibraryError;
    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);

    const auto width = static_cast<int32_t>(png_get_image_width(png, info));
    const auto height = static_cast<int32_t>(png_get_image_height(png, info));
    const int colourType = png_get_color_type(png, info);
    const int bits = png_get_bit_depth(png, info);
    const bool transparentValue = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    ReadBackground(png, info, job);

    CurrentImage& image = context.image;
    image.width = width;
    image.height = height;
    image.fileBitDepth = png_get_channels(png, info) * bits;
    png_set_bgr(png);
    png_set_scale_16(png);
    png_set_packing(png);
    int depth = 24;
    RowKind kind = RowKind::kColour;
    switch (colourType) {
        case PNG_COLOR_TYPE_PALETTE: {
            depth = 8;
            kind = RowKind::kIndices;
            png_colorp palette = nullptr;
            int count = 0;
            image.palette = Palette256{};
            if (png_get_PLTE(png, info, &palette, &count)) {
                for (int i = 0; i < count && i < 256; ++i) {
                    image.palette[i * 3] = palette[i].red;
                    image.palette[i * 3 + 1] = palette[i].green;
                    image.palette[i * 3 + 2] = palette[i].blue;
                }
            }
            CompositePalette(png, info, job, image.palette);
            break;
        }
        case PNG_COLOR_TYPE_GRAY:
            depth = 8;
            image.palette = GrayRamp();
            png_set_expand_gray_1_2_4_to_8(png);
            kind = RowKind::kGray;
            if (transparentValue) {
                png_set_tRNS_to_alpha(png);
                kind = RowKind::kGrayAlpha;
            }
            break;
        case PNG_COLOR_TYPE_RGB:
            if (transparentValue) {
                png_set_tRNS_to_alpha(png);
                kind = RowKind::kColourAlpha;
            }
            break;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            depth = 32;
            png_set_gray_to_rgb(png);
            kind = RowKind::kColourAlpha;
            break;
        default:  // colour with alpha
            depth = 32;
            kind = RowKind::kColourAlpha;
            break;
    }
    // The rows must be able to come out of the rest of the file (deflated,
    // with a filter byte each) and the canvas must pass the gate, both before
    // the library allocates its row buffers for the picture.
    const uint64_t storedRows = static_cast<uint64_t>(height) * (png_get_rowbytes(png, info) + 1);
    const long position = std::ftell(file);
    const uint64_t remaining = position < 0 ? 0 : job.fileSize - std::min<uint64_t>(position, job.fileSize);
    if (!FileCanHold(storedRows, remaining, expansion::kDeflate)) return ReadOutcome::kLibraryError;
    if (!CheckedLayout(width, height, depth)) return ReadOutcome::kOutOfMemory;
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (!context.canvas.Create(width, height, depth, 0, image.palette)) return ReadOutcome::kOutOfMemory;
    // Rows without alpha go straight into the canvas, where the interlace
    // passes fill them in place.
    const bool direct = kind == RowKind::kIndices || kind == RowKind::kGray || kind == RowKind::kColour;
    if (direct) {
        if (rowBytes > static_cast<size_t>(context.canvas.stride())) return ReadOutcome::kLibraryError;
        for (int pass = 0; pass < passes; ++pass) {
            for (int32_t y = 0; y < height; ++y) {
                png_read_row(png, context.canvas.Row(height - 1 - y), nullptr);
                context.RowDone();
            }
        }
    } else {
        // Rows with alpha are composited from a buffer: the whole picture when
        // interlaced (every pass fills some of each row), otherwise one row.
        const int32_t bufferedRows = passes > 1 ? height : 1;
        const auto buffer = CheckedLayout(static_cast<int64_t>(rowBytes), bufferedRows, 8);
        if (!buffer) return ReadOutcome::kOutOfMemory;
        job.row.assign(buffer->byteCount, 0);
        const auto bufferRow = [&](int32_t y) { return job.row.data() + static_cast<size_t>(y % bufferedRows) * rowBytes; };
        for (int pass = 0; pass < passes; ++pass) {
            const bool lastPass = pass == passes - 1;
            for (int32_t y = 0; y < height; ++y) {
                png_read_row(png, bufferRow(y), nullptr);
                if (lastPass) StoreRow(kind, bufferRow(y), width, depth, job, context.canvas.Row(height - 1 - y));
                context.RowDone();
            }
        }
    }
    png_read_end(png, nullptr);
    return ReadOutcome::kDone;
}

}  // namespace

Status ReadPng(const std::string& path, LoadContext& context) {
    StdioFile file = OpenForReading(path);
    if (!file) return Status::Fail("Couldn't open File");
    png_byte signature[8] = {};
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        return Status::Fail("Not a PNG");
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, RememberError, IgnoreWarning);
    if (!png) return Status::Fail("Couldn't create PNGReadStruct");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Status::Fail("Couldn't create PNGInfoStruct");
    }
    // Hostile sizes are refused by the canvas gate before the rows are
    // read; the library's own limit keeps its row buffers (up to 8 bytes a
    // pixel) bounded as well.
    png_set_user_limits(png, 1u << 24, 1u << 24);
    png_set_chunk_malloc_max(png, 64u << 20);
    // Chunks whose contents the reader never uses are skipped unread: the
    // library would allocate the length a text or profile chunk claims.
    static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0hIST\0tIME\0pHYs\0oFFs\0"
                                       "sBIT\0cHRM\0gAMA\0sRGB";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, static_cast<int>(sizeof kSkipped / 5));
    auto job = std::make_unique<ReadJob>();
    job->fileSize = FileSizeOf(file.get());
    const ReadOutcome outcome = ReadWithLibrary(png, info, file.get(), *job, context);
    png_destroy_read_struct(&png, &info, nullptr);
    switch (outcome) {
        case ReadOutcome::kDone:
            return Status::Ok();
        case ReadOutcome::kOutOfMemory:
            return Status::Fail("Out of Memory!");
        case ReadOutcome::kLibraryError:
            break;
    }
    return Status::Fail("Unkown PNG LoadError");
}

}  // namespace marbleye
