#pragma once

#include "canvas/ImageCanvas.h"
#include "canvas/PixelBuffer.h"
#include "common/Host.h"

namespace marbleye {

// Writes an effect's 24-bit result, a picture of the canvas's size, into the
// canvas. A canvas of another depth is made anew at 24 bits with its palette;
// false (and an empty canvas) when that memory cannot be had.
bool StoreEffectResult(ImageCanvas& canvas, const PixelBuffer& result);

// The host an effect reports its progress to.
inline Host& ProgressHost(Host* host) { return host ? *host : QuietHost(); }

}  // namespace marbleye
