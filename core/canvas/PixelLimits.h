#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace marbleye {

// The shape of a bottom-up pixel block whose rows are padded to 4 bytes.
struct PixelLayout {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bitsPerPixel = 0;
    int32_t stride = 0;
    size_t byteCount = 0;
};

// Bytes per row: ((width x bitsPerPixel + 31) / 32) x 4.
int64_t RowStride(int64_t width, int32_t bitsPerPixel);

// The one gate every pixel allocation passes: the layout of a width x height
// block at this depth, or nothing when a side is not positive or the block
// would pass the pixel byte limit. Readers check here before they allocate,
// so a header that lies about its size costs nothing.
std::optional<PixelLayout> CheckedLayout(int64_t width, int64_t height, int32_t bitsPerPixel);

// The largest pixel block the program allocates (1 GiB by default). Fuzzers
// lower it to keep each run fast.
size_t PixelByteLimit();
void SetPixelByteLimit(size_t bytes);

}  // namespace marbleye
