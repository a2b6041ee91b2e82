#include "formats/FormatTable.h"

#include <array>

#include "common/PathText.h"
#include "formats/alias/AliasPix.h"
#include "formats/bilevel/Bilevel.h"
#include "formats/bmp/Bmp.h"
#include "formats/classic/Netpbm.h"
#include "formats/classic/Pcx.h"
#include "formats/classic/Sgi.h"
#include "formats/classic/SunRaster.h"
#include "formats/classic/Tga.h"
#include "formats/dds/Dds.h"
#include "formats/djvu/Djvu.h"
#include "formats/eps/Eps.h"
#include "formats/fits/Fits.h"
#include "formats/fpx/FlashPix.h"
#include "formats/gd/Gd.h"
#include "formats/gd/Xbm.h"
#include "formats/gif/Gif.h"
#include "formats/icon/Icon.h"
#include "formats/iff/Iff.h"
#include "formats/jbig/Jbig.h"
#include "formats/jpeg/Jpeg.h"
#include "formats/legacy/Legacy.h"
#include "formats/mng/Mng.h"
#include "formats/metafile/Metafile.h"
#include "formats/media/Media.h"
#include "formats/own/Vkp.h"
#include "formats/photocd/PhotoCd.h"
#include "formats/pic/Pic.h"
#include "formats/png/Png.h"
#include "formats/psd/Photoshop.h"
#include "formats/tiff/Tiff.h"

namespace marbleye {

namespace {

constexpr std::array kFormats = {
    FormatEntry{"bmp dib rle", format_id::kBmp, "Windows bitmap", &ReadBmp, true},
    FormatEntry{"cam", format_id::kCamera, "camera JPEG", &ReadCameraJpeg},
    FormatEntry{"dds", format_id::kDirectDrawSurface, "DirectDraw surface", &ReadDds},
    FormatEntry{"djvu iw44 iw4", format_id::kDjvu, "DjVu", &ReadDjvu},
    FormatEntry{"eps", format_id::kEps, "EPS preview", &ReadEpsPreview},
    FormatEntry{"cut", format_id::kHaloCut, "Dr. Halo CUT", &ReadHaloCut},
    FormatEntry{"tga", format_id::kTarga, "Targa", &ReadTga, true},
    FormatEntry{"img gem", format_id::kGem, "GEM image", &ReadGem},
    FormatEntry{"fits", format_id::kFits, "FITS", &ReadFits},
    FormatEntry{"fpx", format_id::kFlashPix, "FlashPix", &ReadFlashPix},
    FormatEntry{"gd2 gd", format_id::kGd, "GD", &ReadGd},
    FormatEntry{"gif", format_id::kGif, "GIF", &ReadGif, true},
    FormatEntry{"hrz", format_id::kHrz, "HRZ", &ReadHrz},
    FormatEntry{"iff lbm", format_id::kIff, "IFF", &ReadIff},
    FormatEntry{"jbg", format_id::kJbig, "JBIG", &ReadJbig},
    FormatEntry{"jpg jpeg jif jfif jpe", format_id::kJpeg, "JPEG", &ReadJpeg, true},
    FormatEntry{"ico", format_id::kIcon, "icon", &ReadIcon},
    FormatEntry{"emf wmf", format_id::kMetafile, "metafile", &ReadMetafile},
    FormatEntry{"lvp", format_id::kLviewPro, "LView Pro", &ReadLviewJpeg},
    FormatEntry{"msp", format_id::kMsPaint, "Microsoft Paint", &ReadMsPaint},
    FormatEntry{"mng jng", format_id::kMng, "MNG", &ReadMng},
    FormatEntry{"mac", format_id::kMacPaint, "MacPaint", &ReadMacPaint},
    FormatEntry{"ras sun", format_id::kSunRaster, "Sun raster", &ReadSunRaster, true},
    FormatEntry{"myc", format_id::kCatalog, "catalog", nullptr},
    FormatEntry{"sgi bw rgb rgba", format_id::kSgi, "SGI", &ReadSgi, true},
    FormatEntry{"pcd", format_id::kPhotoCd, "Photo CD", &ReadPhotoCd},
    FormatEntry{"pcx", format_id::kPcx, "PCX", &ReadPcx, true},
    FormatEntry{"pic", format_id::kPic, "PIC", &ReadPic},
    FormatEntry{"png", format_id::kPng, "PNG", &ReadPng, true},
    FormatEntry{"ppm", format_id::kPpm, "portable pixmap", &ReadNetpbm, true},
    FormatEntry{"pbm", format_id::kPbm, "portable bitmap", &ReadPbm},
    FormatEntry{"pgm", format_id::kPgm, "portable graymap", &ReadNetpbm, true},
    FormatEntry{"vkp", format_id::kVkp, "VKP", &ReadVkp, true},
    FormatEntry{"psd", format_id::kPhotoshop, "Photoshop", &ReadPhotoshop},
    FormatEntry{"psp", format_id::kPaintShopPro, "Paint Shop Pro preview", &ReadPspPreview},
    FormatEntry{"pix mat", format_id::kAliasPix, "Alias PIX", &ReadAliasPix, true},
    FormatEntry{"tif", format_id::kTiff, "TIFF", &ReadTiff, true},
    FormatEntry{"wbmp", format_id::kWirelessBitmap, "wireless bitmap", &ReadWbmp},
    FormatEntry{"zbr", format_id::kZbr, "ZBR preview", &ReadZbr},
    FormatEntry{"xbm", format_id::kXbm, "X bitmap", &ReadXbm},
    FormatEntry{"avi mov wav mid mp1 mp2 mp3 aif au snd rmi wma wm wmv wvx asf mpg mpeg qt", format_id::kMedia, "media",
                &ReadMedia},
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

bool CanBeSavedOver(int32_t formatId) {
    for (const FormatEntry& entry : kFormats) {
        if (entry.formatId == formatId) return entry.canBeSavedOver;
    }
    return false;
}

}  // namespace marbleye
