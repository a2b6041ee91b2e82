#include <algorithm>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/tiff/Tiff.h"
#include "formats/tiff/TiffLibrary.h"
#include "formats/tiff/TiffOrientation.h"

namespace marbleye {

namespace {

// Pictures of fewer bits than this (at 32 bits a pixel) are read whole
// through the RGBA reader; larger ones row by row.
constexpr uint64_t kRgbaReaderBits = 20'480'000;

// The most bytes of decoded rows one byte of picture data can stand for, by
// compression. PackBits: a two-byte run gives 128 bytes.
constexpr uint64_t kPackBitsExpansion = 64;
// JPEG: Huffman coding spends at least a bit on each 8 x 8 block of 8-bit
// samples (its DC code), 64 bytes of samples a bit.
constexpr uint64_t kJpegExpansion = 512;
// The fax codings describe an all-white row in one bit (Group 4's vertical
// code), so they, and the codings without a fixed ratio of their own, are
// held to a bit a row.
constexpr uint64_t kRowsPerCodedByte = 8;
// The data can start right after the header.
constexpr uint64_t kHeaderBytes = 8;

// How a read ended; each path has its own text for running out of memory.
// A header that declares more than its file can hold is unreadable.
enum class Outcome { kDone, kOutOfMemory, kUnreadable, kUnknownType };

Status StatusOf(Outcome outcome, const char* outOfMemory) {
    switch (outcome) {
        case Outcome::kDone: return Status::Ok();
        case Outcome::kOutOfMemory: return Status::Fail(outOfMemory);
        case Outcome::kUnreadable: return Status::Fail("Error during LoadProcess occured!");
        case Outcome::kUnknownType: break;
    }
    return Status::Fail("Unkown TIF-Imagetype!");
}

struct TiffShape {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 1;
    uint16_t samples = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    bool tiled = false;
    uint64_t fileSize = 0;

    // Bits a pixel; a hostile file may claim up to 65535 samples of 65535 bits.
    int Depth() const { return static_cast<int>(std::min<uint32_t>(uint32_t{samples} * bits, INT32_MAX)); }
    // The size the picture is shown at.
    int32_t ShownWidth() const { return static_cast<int32_t>(tiff::ExchangesSides(orientation) ? height : width); }
    int32_t ShownHeight() const { return static_cast<int32_t>(tiff::ExchangesSides(orientation) ? width : height); }
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
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &shape.orientation);
    shape.tiled = TIFFIsTiled(tiff) != 0;
    shape.fileSize = TIFFGetSizeProc(tiff)(TIFFClientdata(tiff));
    return shape;
}

uint64_t LargestExpansion(uint16_t compression, uint64_t rowBytes) {
    switch (compression) {
        case COMPRESSION_NONE: return expansion::kStored;
        case COMPRESSION_PACKBITS: return kPackBitsExpansion;
        case COMPRESSION_LZW: return expansion::kLzwPixels;  // its codes stand for bytes here
        case COMPRESSION_DEFLATE:
        case COMPRESSION_ADOBE_DEFLATE: return expansion::kDeflate;
        case COMPRESSION_JPEG:
        case COMPRESSION_OJPEG: return kJpegExpansion;
        default: return rowBytes * kRowsPerCodedByte;
    }
}

// Whether the file can hold the decoded rows (every plane of them) that its
// header declares, by its compression's largest ratio. The pixel gate has
// bounded width x height, so even absurd sample depths do not overflow here.
bool FileCanHoldRows(TIFF* tiff, const TiffShape& shape) {
    const uint64_t rowBytes = TIFFScanlineSize64(tiff);
    if (rowBytes == 0) return false;
    const uint64_t planes = shape.planar == PLANARCONFIG_SEPARATE ? shape.samples : 1;
    const uint64_t decoded = rowBytes * shape.height * planes;
    const uint64_t coded = shape.fileSize - std::min(shape.fileSize, kHeaderBytes);
    return FileCanHold(decoded, coded, LargestExpansion(shape.compression, rowBytes));
}

// Checks the sizes, then creates the canvas at the shown size.
Outcome CreateCanvas(TIFF* tiff, const TiffShape& shape, int32_t depth, LoadContext& context) {
    CurrentImage& image = context.image;
    image.width = shape.ShownWidth();
    image.height = shape.ShownHeight();
    image.fileBitDepth = shape.Depth();
    if (!CheckedLayout(image.width, image.height, depth)) return Outcome::kOutOfMemory;
    if (!FileCanHoldRows(tiff, shape)) return Outcome::kUnreadable;
    if (!context.canvas.Create(image.width, image.height, depth, 0, image.palette)) return Outcome::kOutOfMemory;
    return Outcome::kDone;
}

// The RGBA reader's pixels are red, green, blue, alpha; the canvas holds
// blue, green, red, alpha.
void SwapRedAndBlue(uint8_t* row, uint32_t width, uint32_t bytesPerPixel) {
    for (uint32_t x = 0; x < width; ++x) std::swap(row[x * bytesPerPixel], row[x * bytesPerPixel + 2]);
}

// Rows in the bands the file is stored in: a strip's or a tile's rows.
uint32_t BandRows(TIFF* tiff, const TiffShape& shape) {
    uint32_t rows = 0;
    if (shape.tiled) {
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &rows);
    } else {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
    }
    return std::clamp<uint32_t>(rows, 1, shape.height);
}

// The RGBA reader turns rows over but cannot exchange them with columns:
// the picture is read in stored order, a band at a time, and each row is
// put where its orientation shows it.
Outcome ReadRgbaBands(TIFF* tiff, const TiffShape& shape, LoadContext& context) {
    char message[1024] = {};
    TIFFRGBAImage reader;
    if (!TIFFRGBAImageOK(tiff, message) || !TIFFRGBAImageBegin(&reader, tiff, 0, message)) {
        return Outcome::kUnreadable;
    }
    reader.req_orientation = shape.orientation;  // as stored: nothing turned over
    const uint32_t bandRows = BandRows(tiff, shape);
    std::vector<uint32_t> band(static_cast<size_t>(shape.width) * bandRows);
    tiff::OrientedRows placed(context.canvas, shape.width, shape.height, shape.orientation);
    bool read = true;
    for (uint32_t y = 0; read && y < shape.height; y += bandRows) {
        const uint32_t rows = std::min(bandRows, shape.height - y);
        reader.row_offset = static_cast<int>(y);
        read = TIFFRGBAImageGet(&reader, band.data(), shape.width, rows) != 0;
        for (uint32_t r = 0; r < rows; ++r) {
            auto* row = reinterpret_cast<uint8_t*>(band.data() + static_cast<size_t>(r) * shape.width);
            SwapRedAndBlue(row, shape.width, 4);
            placed.Put(row, y + r);
            context.RowDone();
        }
    }
    TIFFRGBAImageEnd(&reader);
    return read ? Outcome::kDone : Outcome::kUnreadable;
}

// The whole picture through the library's RGBA reader, which turns the
// orientations that keep rows as rows over itself: its raster starts with
// the bottom row shown, as the canvas does.
Outcome ReadThroughRgba(TIFF* tiff, const TiffShape& shape, LoadContext& context) {
    if (const Outcome created = CreateCanvas(tiff, shape, 32, context); created != Outcome::kDone) return created;
    if (tiff::ExchangesSides(shape.orientation)) return ReadRgbaBands(tiff, shape, context);
    auto* raster = reinterpret_cast<uint32_t*>(context.canvas.bits());
    if (!TIFFReadRGBAImage(tiff, shape.width, shape.height, raster, 0)) return Outcome::kUnreadable;
    for (int32_t y = 0; y < context.canvas.height(); ++y) {
        SwapRedAndBlue(context.canvas.Row(y), shape.width, 4);
        context.RowDone();
    }
    return Outcome::kDone;
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

// Row by row at the picture's own depth, each row read into a buffer of
// one stored row and put where its orientation shows it.
Outcome ReadRows(TIFF* tiff, const TiffShape& shape, LoadContext& context) {
    const int depth = shape.Depth();
    if (depth <= 8) context.image.palette = PaletteFor(tiff, shape);
    if (const Outcome created = CreateCanvas(tiff, shape, depth, context); created != Outcome::kDone) return created;
    if (shape.photometric == PHOTOMETRIC_YCBCR) TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    std::vector<uint8_t> row(static_cast<size_t>(RowStride(shape.width, depth)));
    const tmsize_t lineBytes = TIFFScanlineSize(tiff);
    if (lineBytes <= 0 || static_cast<size_t>(lineBytes) > row.size()) return Outcome::kUnknownType;
    tiff::OrientedRows placed(context.canvas, shape.width, shape.height, shape.orientation);
    for (uint32_t y = 0; y < shape.height; ++y) {
        if (TIFFReadScanline(tiff, row.data(), y, 0) < 0) return Outcome::kUnreadable;
        if (depth == 24 || depth == 32) SwapRedAndBlue(row.data(), shape.width, static_cast<uint32_t>(depth / 8));
        placed.Put(row.data(), y);
        context.RowDone();
    }
    return Outcome::kDone;
}

}  // namespace

Status ReadTiff(const std::string& path, LoadContext& context) {
    const tiff::Handle tiff = tiff::OpenFile(path);
    if (!tiff) return Status::Fail("Couldn't open TIF File!");
    const TiffShape shape = ShapeOf(tiff.get());
    const uint64_t bits = uint64_t(shape.width) * shape.height * 32;
    if (bits == 0) return Status::Fail("Unkown TIF-Imagetype!");
    if (bits < kRgbaReaderBits || !RowReaderTakes(shape)) {
        return StatusOf(ReadThroughRgba(tiff.get(), shape, context), "Out of Memory!");
    }
    return StatusOf(ReadRows(tiff.get(), shape, context), "Not enough Memory available!");
}

Status ReadTiffPreview(std::span<const uint8_t> bytes, LoadContext& context) {
    const tiff::MemoryTiff tiff = tiff::OpenMemory(bytes);
    if (!tiff.handle) return Status::Fail("Couldn't open TIF File!");
    const TiffShape shape = ShapeOf(tiff.handle.get());
    if (uint64_t(shape.width) * shape.height == 0) return Status::Fail("Error during LoadProcess occured!");
    return StatusOf(ReadThroughRgba(tiff.handle.get(), shape, context), "Not enough Memory available!");
}

}  // namespace marbleye
