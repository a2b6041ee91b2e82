#include "output/SaveByExtension.h"

#include <array>

#include "common/PathText.h"
#include "formats/alias/AliasPix.h"
#include "formats/bmp/Bmp.h"
#include "formats/djvu/Djvu.h"
#include "formats/classic/Netpbm.h"
#include "formats/classic/Pcx.h"
#include "formats/classic/Sgi.h"
#include "formats/classic/SunRaster.h"
#include "formats/classic/Tga.h"
#include "formats/gif/Gif.h"
#include "formats/jpeg/Jpeg.h"
#include "formats/mng/MngWriter.h"
#include "formats/own/Vkp.h"
#include "formats/png/Png.h"
#include "formats/tiff/Tiff.h"

namespace marbleye {

namespace {

Status SaveBmp(const std::string& path, const SaveSource& source, const AppSettings&, Host& host) {
    return WriteBmp(path, source.canvas, source.image.fileBitDepth, host);
}

Status SaveVkp(const std::string& path, const SaveSource& source, const AppSettings& settings, Host& host) {
    return WriteVkp(path, source.canvas, VkpWriteOptions{settings.vkpVersion, settings.vkpQuality, settings.vkpRle != 0},
                    host);
}

Status SaveDjvu(const std::string& path, const SaveSource& source, const AppSettings&, Host& host) {
    return WriteDjvu(path, source.canvas, host);
}

Status SaveGif(const std::string& path, const SaveSource& source, const AppSettings& settings, Host& host) {
    return WriteGif(path, source.canvas, source.image.fileBitDepth,
                    static_cast<PaletteMethod>(settings.dither8bitPalGeneration),
                    static_cast<DitherType>(settings.dither8bitDitherType), host);
}

Status SaveJpeg(const std::string& path, const SaveSource& source, const AppSettings& settings, Host& host) {
    const JpegWriteOptions options{settings.jpgQuality, settings.jpgGrayScale != 0, settings.jpgOptimize != 0,
                                   settings.jpgSmoothing * 10, settings.jpgProgressive != 0};
    return WriteJpeg(path, source.canvas, options, host);
}

Status SaveMng(const std::string& path, const SaveSource& source, const AppSettings&, Host& host) {
    return WriteMng(path, source.canvas, source.image, host);
}

Status SavePng(const std::string& path, const SaveSource& source, const AppSettings& settings, Host& host) {
    return WritePng(path, source.canvas, source.image, settings.pngInterlace == 1, host);
}

Status SaveTiff(const std::string& path, const SaveSource& source, const AppSettings& settings, Host& host) {
    return WriteTiff(path, source.canvas, settings.tifCompression, host);
}

Status SaveTga(const std::string& path, const SaveSource& source, const AppSettings& settings, Host& host) {
    return WriteTga(path, source.canvas, TgaWriteOptions{settings.tgaEncode != 0, settings.tgaBottomUp != 0}, host);
}

Status SavePcx(const std::string& path, const SaveSource& source, const AppSettings&, Host& host) {
    return WritePcx(path, source.canvas, source.image.fileBitDepth, host);
}

Status SaveSgi(const std::string& path, const SaveSource& source, const AppSettings& settings, Host& host) {
    return WriteSgi(path, source.canvas, settings.sgiCompression, host);
}

Status SaveSunRaster(const std::string& path, const SaveSource& source, const AppSettings& settings, Host& host) {
    return WriteSunRaster(path, source.canvas, settings.rasCompression != 0, host);
}

Status SavePpm(const std::string& path, const SaveSource& source, const AppSettings&, Host& host) {
    return WritePpm(path, source.canvas, host);
}

Status SavePgm(const std::string& path, const SaveSource& source, const AppSettings&, Host& host) {
    return WritePgm(path, source.canvas, host);
}

Status SaveAliasPix(const std::string& path, const SaveSource& source, const AppSettings&, Host& host) {
    return WriteAliasPix(path, source.canvas, host);
}

constexpr std::array kWriters = {
    WriterEntry{".bmp .dib .rle", "Windows bitmap", &SaveBmp},
    WriterEntry{".djvu", "DjVu", &SaveDjvu},
    WriterEntry{".gif", "GIF", &SaveGif},
    WriterEntry{".jpg .jpeg .jif .jfif", "JPEG", &SaveJpeg},
    WriterEntry{".tga", "Targa", &SaveTga},
    WriterEntry{".mng", "MNG", &SaveMng},
    WriterEntry{".png", "PNG", &SavePng},
    WriterEntry{".ppm", "PPM", &SavePpm},
    WriterEntry{".pgm", "PGM", &SavePgm},
    WriterEntry{".vkp", "VKP", &SaveVkp},
    WriterEntry{".tif .tiff", "TIFF", &SaveTiff},
    WriterEntry{".pcx", "PCX", &SavePcx},
    WriterEntry{".pix", "Alias PIX", &SaveAliasPix},
    WriterEntry{".ras .sun", "Sun raster", &SaveSunRaster},
    WriterEntry{".sgi .rgb .rgba", "SGI", &SaveSgi},
};

}  // namespace

std::span<const WriterEntry> WriterTable() { return kWriters; }

const WriterEntry* FindWriter(std::string_view path) {
    const std::string_view extension = FileExtensionWithDot(path);
    if (extension.empty()) return nullptr;
    for (const WriterEntry& entry : kWriters) {
        if (ListContainsIgnoreCase(entry.extensions, extension)) return &entry;
    }
    return nullptr;
}

std::optional<Status> SaveByExtension(const std::string& path, const SaveSource& source,
                                      const AppSettings& settings, Host& host) {
    const WriterEntry* writer = FindWriter(path);
    if (!writer) return std::nullopt;
    if (!writer->write) return Status::Fail("No writer for " + std::string(writer->name) + " files in this version.");
    return writer->write(path, source, settings, host);
}

}  // namespace marbleye
