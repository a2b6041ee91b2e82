#include <vector>

#include "canvas/TrueColourRows.h"
#include "formats/tiff/Tiff.h"
#include "formats/tiff/TiffLibrary.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

uint16_t CompressionTag(int32_t setting) {
    switch (setting) {
        case 0: return COMPRESSION_NONE;
        case 1: return COMPRESSION_PACKBITS;
        case 2: return COMPRESSION_DEFLATE;
        case 4: return COMPRESSION_LZW;
        default: return COMPRESSION_JPEG;
    }
}

}  // namespace

Status WriteTiff(const std::string& path, const ImageCanvas& canvas, int32_t compression, Host& host) {
    constexpr std::string_view kCannotOpen = "Couldn't open TIFFFile for writing!";
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail("Out of Memory!");
    OutputFile out;
    if (!out.Open(path)) return Status::Fail(std::string(kCannotOpen));
    tiff::Handle tiff = tiff::CreateOnStream(out.stream());
    if (!tiff) return Status::Fail(std::string(kCannotOpen));
    TIFF* t = tiff.get();
    const uint16_t tag = CompressionTag(compression);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(pixels.width()));
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(pixels.height()));
    TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_COMPRESSION, tag);
    if (tag == COMPRESSION_JPEG) {
        TIFFSetField(t, TIFFTAG_JPEGQUALITY, 75);
        TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));

    std::vector<uint8_t> row(static_cast<size_t>(pixels.width()) * 3);
    ProgressScope progress(host, pixels.height());
    bool written = true;
    for (int32_t y = 0; y < pixels.height() && written; ++y) {
        const uint8_t* bgr = pixels.Row(pixels.height() - 1 - y);
        for (int32_t x = 0; x < pixels.width(); ++x) {
            row[x * 3] = bgr[x * 3 + 2], row[x * 3 + 1] = bgr[x * 3 + 1], row[x * 3 + 2] = bgr[x * 3];
        }
        written = TIFFWriteScanline(t, row.data(), static_cast<uint32_t>(y), 0) == 1;
        progress.Step();
    }
    written = written && TIFFWriteDirectory(t) == 1;
    tiff.reset();
    if (!written || !out.Commit()) return Status::Fail("Couldn't write TIF Data!");
    return Status::Ok();
}

}  // namespace marbleye
