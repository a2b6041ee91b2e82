#include <csetjmp>
#include <memory>
#include <vector>

#include <png.h>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/icon/IconDecoder.h"

namespace marbleye::icon {

namespace {

// What the library's callbacks and the decoding share; lives outside the
// function that the library's errors jump back to.
struct PngJob {
    InputFile* file = nullptr;
    std::vector<uint8_t> pixels;  // blue, green, red, alpha rows from the top
    std::vector<png_bytep> rows;
    int32_t width = 0, height = 0;
};

void JumpOnError(png_structp png, png_const_charp) { std::longjmp(png_jmpbuf(png), 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

void ReadFromFile(png_structp png, png_bytep target, size_t count) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (!job->file->ReadExact(target, count)) png_error(png, "the file ends inside the image");
}

// Everything that runs under the library's error jump; holds no object
// with a destructor.
bool DecodeWithLibrary(png_structp png, png_infop info, PngJob& job, uint64_t storedBytes) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &job, ReadFromFile);
    png_read_info(png, info);
    job.width = static_cast<int32_t>(png_get_image_width(png, info));
    job.height = static_cast<int32_t>(png_get_image_height(png, info));
    const auto layout = CheckedLayout(job.width, job.height, 32);
    if (!layout) return false;
    const uint64_t deflated = static_cast<uint64_t>(job.height) * (png_get_rowbytes(png, info) + 1);
    if (!FileCanHold(deflated, storedBytes, expansion::kDeflate)) return false;

    // Every kind of PNG to blue, green, red, alpha at 8 bits.
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(job.width) * 4) return false;
    job.pixels.assign(static_cast<size_t>(job.width) * 4 * job.height, 0);
    job.rows.resize(static_cast<size_t>(job.height));
    for (int32_t y = 0; y < job.height; ++y) job.rows[y] = job.pixels.data() + static_cast<size_t>(y) * job.width * 4;
    png_read_image(png, job.rows.data());
    return true;
}

}  // namespace

bool DrawPngImage(InputFile& file, const IconCandidate& entry, LoadContext& context, uint8_t* bgr) {
    if (!file.Seek(entry.offset)) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    png_set_user_limits(png, 1u << 16, 1u << 16);
    png_set_chunk_malloc_max(png, 8u << 20);
    // Only the pixels matter: text, profiles and the rest are skipped unread
    // (the library would allocate what a text or profile chunk claims).
    static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0hIST\0tIME\0pHYs\0oFFs\0"
                                       "sBIT\0cHRM\0gAMA\0sRGB\0bKGD";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, static_cast<int>(sizeof kSkipped / 5));
    auto job = std::make_unique<PngJob>();
    job->file = &file;
    const bool decoded = DecodeWithLibrary(png, info, *job, file.size() - entry.offset);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!decoded) return false;

    // As for bitmaps, a picture whose alpha is 0 throughout is drawn without
    // it, and a PNG's mask is opaque.
    IconScaler scaler(job->width, job->height);
    bool alpha = false;
    for (int32_t y = 0; y < job->height; ++y) {
        scaler.BeginRow(y);
        const uint8_t* p = job->rows[y];
        for (int32_t x = 0; x < job->width; ++x, p += 4) {
            alpha = alpha || p[3] != 0;
            scaler.Add(x, p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24, false);
        }
        context.RowDone();
    }
    DrawOnWhite(scaler, alpha, bgr);
    return true;
}

}  // namespace marbleye::icon
