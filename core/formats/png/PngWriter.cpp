#include <csetjmp>
#include <memory>

#include <png.h>

#include "canvas/TrueColourRows.h"
#include "formats/FormatId.h"
#include "formats/gif/Gif.h"
#include "formats/png/Png.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

void JumpOnError(png_structp png, png_const_charp) { std::longjmp(png_jmpbuf(png), 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// Writes the rows from the top, once per interlace pass. Holds no object with
// a destructor: the library's errors jump back here.
bool WriteRgbRows(png_structp png, png_infop info, std::FILE* stream, const TrueColourRows& pixels, bool interlaced,
                  ProgressScope& progress) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, stream);
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.width()), static_cast<png_uint_32>(pixels.height()), 8,
                 PNG_COLOR_TYPE_RGB, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int32_t y = pixels.height() - 1; y >= 0; --y) {
            png_write_row(png, pixels.Row(y));
            progress.Step();
        }
    }
    png_write_end(png, info);
    return true;
}

Status WriteRgbPng(const std::string& path, const ImageCanvas& canvas, bool interlaced, Host& host) {
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail("Out of Memory!");
    OutputFile out;
    if (!out.Open(path)) return Status::Fail("Couldn't open file for saving: " + path + "!");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return Status::Fail("Out of Memory!");
    }
    ProgressScope progress(host, pixels.height() * (interlaced ? 7 : 1));
    const bool written = WriteRgbRows(png, info, out.stream(), pixels, interlaced, progress);
    png_destroy_write_struct(&png, &info);
    if (!written || !out.Commit()) return Status::Fail("write error");
    return Status::Ok();
}

// The first frame of the GIF the picture came from, with its own palette.
Status WriteGifFirstFrame(const std::string& path, const std::string& gifPath, Host& host) {
    const GifFrames frames = LoadGifFramesForConversion(gifPath);
    if (!frames.status) return frames.status;
    if (frames.frameCount < 1) return Status::Fail("Out of Memory!");
    // The cells run from the last frame to the first.
    const size_t cell = static_cast<size_t>(frames.width) * frames.height;
    PaletteImage picture;
    picture.width = frames.width;
    picture.height = frames.height;
    picture.indices = frames.indices.data() + cell * (frames.frameCount - 1);
    picture.stride = frames.width;
    picture.palette = frames.palette;
    picture.transparentIndex = frames.transparents.back();
    return WritePalettePng(path, picture, host);
}

}  // namespace

Status WritePng(const std::string& path, const ImageCanvas& canvas, const CurrentImage& image, bool interlaced,
                Host& host) {
    if (canvas.bitsPerPixel() > 8 && image.fileBitDepth > 8) return WriteRgbPng(path, canvas, interlaced, host);
    if (image.formatId == format_id::kGif && !image.path.empty()) return WriteGifFirstFrame(path, image.path, host);
    return WriteCanvasAsPalettePng(path, canvas, host);
}

}  // namespace marbleye
