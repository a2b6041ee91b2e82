#pragma once

#include <cstdint>

#include "canvas/ImageCanvas.h"
#include "common/Status.h"
#include "imaging/Resample.h"

namespace marbleye {

class Host;

// Resamples the picture to newWidth x newHeight (a side below 1 becomes 1)
// with a method from Fast'n'Dirty (1) to Blackman (6): a 32-bit copy of the
// canvas is resampled, then the canvas is made again at the new size with 24
// bits per pixel and its palette. When memory is short the canvas stays as it
// was and the message says so. The host is pumped as Resample describes.
Status ResizeImage(ImageCanvas& canvas, int64_t newWidth, int64_t newHeight, ScaleFilterId method, Host* host);

}  // namespace marbleye
