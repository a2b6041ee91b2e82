#pragma once

#include <cstddef>
#include <cstdint>

namespace marbleye {

// The setting "Direction".
enum class SlideshowDirection : int32_t { kForward = 0, kBackward = 1, kRandom = 2 };

struct SlideshowStep {
    size_t position = 0;
    bool stop = false;  // the end was reached without wrapping around
};

// Where one slideshow step goes from position in a folder of count images
// (at least two). Forward and backward stop at the last or first image
// unless wrapAround; random takes randomValue modulo count - 1, so the last
// image never comes up.
SlideshowStep NextSlideshowPosition(size_t position, size_t count, SlideshowDirection direction, bool wrapAround,
                                    uint32_t randomValue);

}  // namespace marbleye
