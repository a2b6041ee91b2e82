#include "imaging/ResizeImage.h"

#include <algorithm>

#include "canvas/Palette.h"

namespace marbleye {

namespace {

const char kNoMemory[] = "Insufficient Memory. Aborting..";

}  // namespace

Status ResizeImage(ImageCanvas& canvas, int64_t newWidth, int64_t newHeight, ScaleFilterId method, Host* host) {
    const int64_t width = std::max<int64_t>(newWidth, 1), height = std::max<int64_t>(newHeight, 1);
    const PixelBuffer source = canvas.CopyBits(32);
    if (source.empty()) return Status::Fail(kNoMemory);
    PixelBuffer resampled = PixelBuffer::Allocate(width, height, 32);
    if (resampled.empty() || !Resample(method, source, resampled, host)) return Status::Fail(kNoMemory);

    // Create clears the canvas before it allocates. Should it fail, the old
    // picture comes back from its 32-bit copy (a paletted one onto its own
    // palette, colour for colour).
    const int32_t oldBits = canvas.bitsPerPixel();
    const Palette256 palette = ToRgb(canvas.palette());
    if (!canvas.Create(resampled.width(), resampled.height(), 24, 0, palette)) {
        if (canvas.Create(source.width(), source.height(), oldBits, 0, palette)) canvas.PutBits(32, source.data());
        return Status::Fail(kNoMemory);
    }
    canvas.PutBits(32, resampled.data());
    return Status::Ok();
}

}  // namespace marbleye
