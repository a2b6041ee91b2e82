#include "formats/FormatTable.h"

#include <array>

#include "common/PathText.h"
#include "formats/bmp/Bmp.h"
#include "formats/classic/Netpbm.h"
#include "formats/classic/Pcx.h"
#include "formats/classic/Sgi.h"
#include "formats/classic/SunRaster.h"
#include "formats/classic/Tga.h"
#include "formats/eps/Eps.h"
#include "formats/gd/Gd.h"
#include "formats/gd/Xbm.h"
#include "formats/gif/Gif.h"
#include "formats/jbig/Jbig.h"
#include "formats/jpeg/Jpeg.h"
#include "formats/own/Vkp.h"
#include "formats/png/Png.h"
#include "formats/tiff/Tiff.h"

namespace marbleye {

namespace {

constexpr std::array kFormats = {
    FormatEntry{"bmp dib rle", 0, "Windows bitmap", &ReadBmp},
    FormatEntry{"cam", 2, "camera JPEG", &ReadCameraJpeg},
    FormatEntry{"dds", 3, "DirectDraw surface", nullptr},
    FormatEntry{"djvu iw44 iw4", 4, "DjVu", nullptr},
    FormatEntry{"eps", 10, "EPS preview", &ReadEpsPreview},
    FormatEntry{"cut", 1, "Dr. Halo CUT", nullptr},
    FormatEntry{"tga", 8, "Targa", &ReadTga},
    FormatEntry{"img gem", 16, "GEM image", nullptr},
    FormatEntry{"fits", 12, "FITS", nullptr},
    FormatEntry{"fpx", 11, "FlashPix", nullptr},
    FormatEntry{"gd2 gd", 13, "GD", &ReadGd},
    FormatEntry{"gif", 5, "GIF", &ReadGif},
    FormatEntry{"hrz", 14, "HRZ", nullptr},
    FormatEntry{"iff lbm", 15, "IFF", nullptr},
    FormatEntry{"jbg", 7, "JBIG", &ReadJbig},
    FormatEntry{"jpg jpeg jif jfif jpe", 6, "JPEG", &ReadJpeg},
    FormatEntry{"ico", 22, "icon", nullptr},
    FormatEntry{"emf wmf", 9, "metafile", nullptr},
    FormatEntry{"lvp", 17, "LView Pro", &ReadLviewJpeg},
    FormatEntry{"msp", 18, "Microsoft Paint", nullptr},
    FormatEntry{"mng jng", 19, "MNG", nullptr},
    FormatEntry{"mac", 21, "MacPaint", nullptr},
    FormatEntry{"ras sun", 35, "Sun raster", &ReadSunRaster},
    FormatEntry{"myc", 37, "catalog", nullptr},
    FormatEntry{"sgi bw rgb rgba", 36, "SGI", &ReadSgi},
    FormatEntry{"pcd", 31, "Photo CD", nullptr},
    FormatEntry{"pcx", 32, "PCX", &ReadPcx},
    FormatEntry{"pic", 29, "PIC", nullptr},
    FormatEntry{"png", 23, "PNG", &ReadPng},
    FormatEntry{"ppm", 24, "portable pixmap", &ReadNetpbm},
    FormatEntry{"pbm", 26, "portable bitmap", nullptr},
    FormatEntry{"pgm", 25, "portable graymap", &ReadNetpbm},
    FormatEntry{"vkp", 27, "VKP", &ReadVkp},
    FormatEntry{"psd", 30, "Photoshop", nullptr},
    FormatEntry{"psp", 34, "Paint Shop Pro preview", &ReadPspPreview},
    FormatEntry{"pix mat", 33, "Alias PIX", nullptr},
    FormatEntry{"tif", 28, "TIFF", &ReadTiff},
    FormatEntry{"wbmp", 39, "wireless bitmap", nullptr},
    FormatEntry{"zbr", 40, "ZBR preview", nullptr},
    FormatEntry{"xbm", 41, "X bitmap", &ReadXbm},
    FormatEntry{"avi mov wav mid mp1 mp2 mp3 aif au snd rmi wma wm wmv wvx asf mpg mpeg qt", 38, "media", nullptr},
};

}  // namespace

std::span<const FormatEntry> FormatTable() { return kFormats; }

const FormatEntry* FindFormat(std::string_view path) {
    const std::string_view extension = ExtensionAfterLastDot(path);
    if (extension.empty()) return nullptr;
    for (const FormatEntry& entry : kFormats) {
        if (ListContainsIgnoreCase(entry.extensions, extension)) return &entry;
    }
    return nullptr;
}

int32_t FindFormatId(std::string_view path) {
    const FormatEntry* entry = FindFormat(path);
    return entry ? entry->formatId : format_id::kUnknown;
}

}  // namespace marbleye
