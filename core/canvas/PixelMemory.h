#pragma once

#include <cstddef>
#include <cstdint>

namespace marbleye {

// Zero-filled memory for pixels, or nullptr. Large blocks are mapped at once
// (in large pages where the system has them) instead of page by page as a
// decoder first writes them: on virtual machines those faults cost more
// than decoding the pixels.
uint8_t* AllocateZeroedPixels(size_t bytes);
void ReleasePixels(uint8_t* pixels);

struct PixelMemoryDeleter {
    void operator()(uint8_t* pixels) const { ReleasePixels(pixels); }
};

}  // namespace marbleye
