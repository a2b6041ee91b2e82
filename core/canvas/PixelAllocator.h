#pragma once

#include <cstdint>

#include "canvas/Palette.h"
#include "canvas/PixelLimits.h"

namespace marbleye {

// Where the canvas gets its pixel memory. The core and the command line tool
// use the heap; the Win32 program creates a device-independent bitmap section
// so that its memory is the canvas and painting needs no copy.
class PixelAllocator {
public:
    virtual ~PixelAllocator() = default;

    // Memory for layout.byteCount bytes, or nullptr when it cannot be had.
    virtual uint8_t* Allocate(const PixelLayout& layout, const PaletteBgr& palette) = 0;
    virtual void Release(uint8_t* bits) = 0;
    // True when fresh memory is all zero bytes (a black canvas needs no fill).
    virtual bool ReturnsZeroedMemory() const { return false; }

    // Called before the core reads or writes pixels behind the platform's
    // back, so that pending drawing reaches the memory first.
    virtual void Flush() {}
};

PixelAllocator& HeapPixelAllocator();

}  // namespace marbleye
