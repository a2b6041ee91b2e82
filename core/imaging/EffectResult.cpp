#include "imaging/EffectResult.h"

#include <cassert>

namespace marbleye {

bool StoreEffectResult(ImageCanvas& canvas, const PixelBuffer& result) {
    assert(result.bitsPerPixel() == 24 && result.width() == canvas.width() && result.height() == canvas.height());
    if (canvas.bitsPerPixel() == 24) return canvas.PutBits(24, result.data());
    return canvas.CreateFromBits(result.width(), result.height(), 24, result.data(), ToRgb(canvas.palette()));
}

}  // namespace marbleye
