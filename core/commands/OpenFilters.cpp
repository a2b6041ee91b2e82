#include "commands/OpenFilters.h"

#include <array>

namespace marbleye {

namespace {

constexpr std::array kOpenFilters = {
    FileFilter{"Common Filetypes", "*.myc;*.mng;*.gif;*.sgi;*.iff;*.lbm;*.jpg;*.vkp;*.png;*.tga;*.tif;*.bmp;*.pcx;*.psd"},
    FileFilter{"Video Files (*.avi;*.asf;*.wmv;*.mpg;*.mpeg;*.mov;*.qt;*.wvx)",
               "*.avi;*.asf;*.wmv;*.mpg;*.mpeg;*.mov;*.qt;*.wvx"},
    FileFilter{"Sound Files (*.wav;*.au;*.aif;*.snd;*.mid;*.rmi)", "*.wav;*.au;*.aif;*.snd;*.mid;*.rmi"},
    FileFilter{"Mpeg Layer x (*.mp1;*.mp2;*.mp3)", "*.mp3;*.mp2;*.mp1"},
    FileFilter{"Windows Media Files (*.wma;*.wmv;*.wm;*.asf)", "*.wma;*.wmv;*.wm;*.asf"},
    FileFilter{"Marbleye Catalog Files (*.myc)", "*.myc"},
    FileFilter{"All Files (*.*)", "*.*"},
    FileFilter{"BMP - Windows or OS/2 Bitmap (*.bmp;*.rle;*.dib)", "*.bmp;*.rle;*.dib"},
    FileFilter{"CAM - Casio Cam Format (JPG-Version) (*.cam)", "*.cam"},
    FileFilter{"CUT - Dr. Halo (*.cut)", "*.cut"},
    FileFilter{"DDS - DirectDraw Surface (*.dds)", "*.dds"},
    FileFilter{"DJVU - AT&T Djvu Images (*.djvu;*.iw44;*.iw4)", "*.djvu;*.iw44;*.iw4"},
    FileFilter{"EMF - Enhanced/Windows Metafile (*.emf;*.wmf)", "*.emf;*.wmf"},
    FileFilter{"EPS - Encapsulated Postscript Preview (*.eps)", "*.eps"},
    FileFilter{"FPX - Kodak FlashPix Image (*.fpx)", "*.fpx"},
    FileFilter{"GD2 - GDLib Image (*.gd2;*.gd)", "*.gd2;*.gd"},
    FileFilter{"GEM - Raster Image (*.img;*.gem)", "*.img;*.gem"},
    FileFilter{"GIF - Graphics Interchange FileFormat (*.gif)", "*.gif"},
    FileFilter{"HRZ - Slow Scan Television (*.hrz)", "*.hrz"},
    FileFilter{"ICO - Windows Icon (*.ico)", "*.ico"},
    FileFilter{"IFF - Amiga Interchange File Format (*.iff;*.lbm)", "*.iff;*.lbm"},
    FileFilter{"JBG - JBIG BiLevel Image (*.jbg)", "*.jbg"},
    FileFilter{"JPG - JPEG/JFIF (*.jpg;*.jpeg;*.jif;*.jfif;*.jpe)", "*.jpg;*.jpeg;*.jif;*.jfif;*.jpe"},
    FileFilter{"JNG - JPEG Network Graphics (*.jng)", "*.jng"},
    FileFilter{"LVP - LView Pro Image (*.lvp)", "*.lvp"},
    FileFilter{"MAC - Mac Paint (*.mac)", "*.mac"},
    FileFilter{"MNG - Multiple-Image Network Graphics (*.mng)", "*.mng"},
    FileFilter{"MSP - Microsoft Paint (*.msp)", "*.msp"},
    FileFilter{"PBM - Portable Bitmap (*.pbm)", "*.pbm"},
    FileFilter{"PCD - Kodak PhotoCD (*.pcd)", "*.pcd"},
    FileFilter{"PCX - ZSoft Paintbrush (*.pcx)", "*.pcx"},
    FileFilter{"PGM - Portable Gray Map (*.pgm)", "*.pgm"},
    FileFilter{"PIC - Pictor PC Paint (*.pic)", "*.pic"},
    FileFilter{"PIX - Alias|Wavefront Image (*.pix)", "*.pix"},
    FileFilter{"PNG - Portable Network Graphics (*.png)", "*.png"},
    FileFilter{"PPM - Portable Pixel Map (*.ppm)", "*.ppm"},
    FileFilter{"VKP - Vesk Productions Picture (*.vkp)", "*.vkp"},
    FileFilter{"PSD - Photoshop Image (*.psd)", "*.psd"},
    FileFilter{"PSP - Paint Shop Pro Image (Preview) (*.psp)", "*.psp"},
    FileFilter{"RAS - Sun Raster Image (*.ras;*.sun)", "*.ras;*.sun"},
    FileFilter{"SGI - Silicon Graphics Image (*.sgi;*.rgb;*.rgba;*.bw)", "*.bw;*.rgba;*.sgi;*.rgb"},
    FileFilter{"TGA - Truevision Targa (*.tga)", "*.tga"},
    FileFilter{"TIF - Tagged image file (*.tif;*.tiff)", "*.tif;*.tiff"},
    FileFilter{"WBMP - Wireless Bitmap (WAP) (*.wbmp)", "*.wbmp"},
    FileFilter{"XBM - X Bitmap (*.xbm)", "*.xbm"},
    FileFilter{"ZBR - Zebra Metafile Preview (*.zbr)", "*.zbr"},
};

}  // namespace

std::span<const FileFilter> OpenDialogFilters() { return kOpenFilters; }

std::string FilterListForDialog(std::span<const FileFilter> filters) {
    std::string list;
    for (const FileFilter& filter : filters) {
        list.append(filter.description).push_back('\0');
        list.append(filter.patterns).push_back('\0');
    }
    list.push_back('\0');
    return list;
}

}  // namespace marbleye
