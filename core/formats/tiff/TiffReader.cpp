#include <algorithm>
#include <vector>

#include "canvas/PixelLimits.h"
#include "formats/tiff/Tiff.h"
#include "formats/tiff/TiffLibrary.h"

namespace marbleye {

namespace {

// Pictures of fewer bits than this (at 32 bits a pixel) are read whole
// through the RGBA reader; larger ones row by row.
constexpr uint64_t kRgbaReaderBits = 20'480'000;

struct TiffShape {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 1;
    uint16_t samples = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE;
    bool tiled = false;

    // Bits a pixel; a hostile file may claim up to 65535 samples of 65535 bits.
    int Depth() const { return static_cast<int>(std::min<uint32_t>(uint32_t{samples} * bits, INT32_MAX)); }
};

TiffShape ShapeOf(TIFF* tiff) {
    TiffShape shape;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &shape.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &shape.height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &shape.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &shape.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &shape.planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &shape.compression);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &shape.photometric)) shape.photometric = PHOTOMETRIC_MINISWHITE;
    shape.tiled = TIFFIsTiled(tiff) != 0;
    return shape;
}

// The whole picture through the library's RGBA reader: its raster starts
// with the bottom row, as the canvas does, and holds red, green, blue, alpha.
Status ReadThroughRgba(TIFF* tiff, const TiffShape& shape, LoadContext& context) {
    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(shape.width);
    image.height = static_cast<int32_t>(shape.height);
    image.fileBitDepth = shape.Depth();
    if (!CheckedLayout(shape.width, shape.height, 32) ||
        !context.canvas.Create(image.width, image.height, 32, 0, image.palette)) {
        return Status::Fail("Out of Memory!");
    }
    auto* raster = reinterpret_cast<uint32_t*>(context.canvas.bits());
    if (!TIFFReadRGBAImage(tiff, shape.width, shape.height, raster, 0)) {
        return Status::Fail("Error during LoadProcess occured!");
    }
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = context.canvas.Row(y);
        for (int32_t x = 0; x < image.width; ++x) std::swap(row[x * 4], row[x * 4 + 2]);
        context.RowDone();
    }
    return Status::Ok();
}

// The palette of a picture of up to 8 bits in one sample.
Palette256 PaletteFor(TIFF* tiff, const TiffShape& shape) {
    Palette256 palette{};
    const int entries = 1 << shape.bits;
    if (shape.photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue)) return palette;
        const bool sixteenBit = std::any_of(red, red + entries, [](uint16_t v) { return v > 255; }) ||
                                std::any_of(green, green + entries, [](uint16_t v) { return v > 255; }) ||
                                std::any_of(blue, blue + entries, [](uint16_t v) { return v > 255; });
        const auto scale = [sixteenBit](uint16_t v) { return static_cast<uint8_t>(sixteenBit ? v * 255u / 65535u : v); };
        for (int i = 0; i < entries; ++i) {
            palette[i * 3] = scale(red[i]), palette[i * 3 + 1] = scale(green[i]), palette[i * 3 + 2] = scale(blue[i]);
        }
        return palette;
    }
    const bool whiteIsZero = shape.photometric == PHOTOMETRIC_MINISWHITE;
    for (int i = 0; i < entries; ++i) {
        const auto level = static_cast<uint8_t>(i * 255 / (entries - 1));
        const uint8_t value = whiteIsZero ? 255 - level : level;
        palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = value;
    }
    return palette;
}

// The row reader takes one plane of strips with 1, 4 or 8 bits in one sample
// (gray or palette: depths the canvas has), or 8-bit RGB with 3 or 4 samples.
bool RowReaderTakes(const TiffShape& shape) {
    if (shape.tiled || shape.planar != PLANARCONFIG_CONTIG) return false;
    const int depth = shape.Depth();
    if (shape.samples == 1 && (depth == 1 || depth == 4 || depth == 8)) {
        return shape.photometric == PHOTOMETRIC_MINISWHITE || shape.photometric == PHOTOMETRIC_MINISBLACK ||
               shape.photometric == PHOTOMETRIC_PALETTE;
    }
    const bool jpegInYCbCr = shape.photometric == PHOTOMETRIC_YCBCR && shape.compression == COMPRESSION_JPEG;
    return shape.bits == 8 && (depth == 24 || depth == 32) && (shape.photometric == PHOTOMETRIC_RGB || jpegInYCbCr);
}

Status ReadRows(TIFF* tiff, const TiffShape& shape, LoadContext& context) {
    CurrentImage& image = context.image;
    const int depth = shape.Depth();
    image.width = static_cast<int32_t>(shape.width);
    image.height = static_cast<int32_t>(shape.height);
    image.fileBitDepth = depth;
    if (shape.photometric == PHOTOMETRIC_YCBCR) TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    if (depth <= 8) image.palette = PaletteFor(tiff, shape);
    if (!CheckedLayout(shape.width, shape.height, depth) ||
        !context.canvas.Create(image.width, image.height, depth, 0, image.palette)) {
        return Status::Fail("Not enough Memory available!");
    }
    const tmsize_t lineBytes = TIFFScanlineSize(tiff);
    if (lineBytes <= 0 || lineBytes > context.canvas.stride()) return Status::Fail("Unkown TIF-Imagetype!");
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = context.canvas.Row(image.height - 1 - y);
        if (TIFFReadScanline(tiff, row, static_cast<uint32_t>(y), 0) < 0) {
            return Status::Fail("Error during LoadProcess occured!");
        }
        if (depth == 24) {
            for (int32_t x = 0; x < image.width; ++x) std::swap(row[x * 3], row[x * 3 + 2]);
        } else if (depth == 32) {
            for (int32_t x = 0; x < image.width; ++x) std::swap(row[x * 4], row[x * 4 + 2]);
        }
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace

Status ReadTiff(const std::string& path, LoadContext& context) {
    const tiff::Handle tiff = tiff::OpenFile(path);
    if (!tiff) return Status::Fail("Couldn't open TIF File!");
    const TiffShape shape = ShapeOf(tiff.get());
    const uint64_t bits = uint64_t(shape.width) * shape.height * 32;
    if (bits == 0) return Status::Fail("Unkown TIF-Imagetype!");
    if (bits < kRgbaReaderBits || !RowReaderTakes(shape)) return ReadThroughRgba(tiff.get(), shape, context);
    return ReadRows(tiff.get(), shape, context);
}

Status ReadTiffPreview(std::span<const uint8_t> bytes, LoadContext& context) {
    const tiff::MemoryTiff tiff = tiff::OpenMemory(bytes);
    if (!tiff.handle) return Status::Fail("Couldn't open TIF File!");
    const TiffShape shape = ShapeOf(tiff.handle.get());
    if (uint64_t(shape.width) * shape.height == 0) return Status::Fail("Error during LoadProcess occured!");
    const Status status = ReadThroughRgba(tiff.handle.get(), shape, context);
    if (!status && status.message() == "Out of Memory!") return Status::Fail("Not enough Memory available!");
    return status;
}

}  // namespace marbleye
