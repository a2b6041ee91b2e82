#include "canvas/PixelBuffer.h"


namespace marbleye {

PixelBuffer PixelBuffer::Allocate(int64_t width, int64_t height, int32_t bitsPerPixel) {
    PixelBuffer buffer;
    const std::optional<PixelLayout> layout = CheckedLayout(width, height, bitsPerPixel);
    if (!layout) return buffer;
    buffer.bytes_.reset(AllocateZeroedPixels(layout->byteCount));
    if (buffer.bytes_) buffer.layout_ = *layout;
    return buffer;
}

}  // namespace marbleye
