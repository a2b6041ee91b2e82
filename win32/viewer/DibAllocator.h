#pragma once

#include <windows.h>

#include "canvas/ImageCanvas.h"
#include "canvas/PixelAllocator.h"

namespace marbleye::win32 {

// Backs the canvas with a device-independent bitmap section selected into its
// own memory device context, so painting is a blit from that context.
class DibAllocator final : public PixelAllocator {
public:
    uint8_t* Allocate(const PixelLayout& layout, const PaletteBgr& palette) override;
    void Release(uint8_t* bits) override;
    void Flush() override { GdiFlush(); }
    // A section the system creates for us starts zero-filled.
    bool ReturnsZeroedMemory() const override { return true; }

    HDC dc() const { return dc_; }
    HPALETTE palette() const { return palette_; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    HPALETTE palette_ = nullptr;
};

// The colour depth of the screen.
int GetDisplayDepth();

bool StretchPart(const DibAllocator& dib, HDC target, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                 DWORD rop);

}  // namespace marbleye::win32
