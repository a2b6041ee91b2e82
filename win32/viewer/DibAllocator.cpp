#include "win32/viewer/DibAllocator.h"

#include <cstring>
#include <vector>

namespace marbleye::win32 {

int GetDisplayDepth() {
    HDC screen = GetDC(GetDesktopWindow());
    const int depth = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(GetDesktopWindow(), screen);
    return depth;
}

uint8_t* DibAllocator::Allocate(const PixelLayout& layout, const PaletteBgr& palette) {
    std::vector<uint8_t> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(header.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = layout.width;
    info->bmiHeader.biHeight = layout.height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(layout.bitsPerPixel);
    info->bmiHeader.biCompression = BI_RGB;

    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return nullptr;
    if (layout.bitsPerPixel < 9 || GetDisplayDepth() <= 8) {
        std::vector<uint8_t> logical(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY), 0);
        LOGPALETTE* entries = reinterpret_cast<LOGPALETTE*>(logical.data());
        entries->palVersion = 0x300;
        entries->palNumEntries = 256;
        for (int i = 0; i < 256; ++i) {
            RGBQUAD& colour = info->bmiColors[i];
            colour.rgbBlue = palette[i * 3], colour.rgbGreen = palette[i * 3 + 1], colour.rgbRed = palette[i * 3 + 2];
            entries->palPalEntry[i].peRed = colour.rgbRed;
            entries->palPalEntry[i].peGreen = colour.rgbGreen;
            entries->palPalEntry[i].peBlue = colour.rgbBlue;
        }
        palette_ = CreatePalette(entries);
        if (palette_) {
            SelectPalette(dc_, palette_, FALSE);
            RealizePalette(dc_);
        }
    }
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_ || !bits) {
        Release(nullptr);
        return nullptr;
    }
    previousBitmap_ = SelectObject(dc_, bitmap_);
    return static_cast<uint8_t*>(bits);
}

void DibAllocator::Release(uint8_t*) {
    if (dc_ && previousBitmap_) SelectObject(dc_, previousBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
    if (palette_) DeleteObject(palette_);
    dc_ = nullptr, bitmap_ = nullptr, previousBitmap_ = nullptr, palette_ = nullptr;
}

bool StretchPart(const DibAllocator& dib, HDC target, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                 DWORD rop) {
    return StretchBlt(target, x, y, w, h, dib.dc(), sx, sy, sw, sh, rop) != FALSE;
}

}  // namespace marbleye::win32
