#include "app/Slideshow.h"

#include <cassert>

namespace marbleye {

SlideshowStep NextSlideshowPosition(size_t position, size_t count, SlideshowDirection direction, bool wrapAround,
                                    uint32_t randomValue) {
    assert(count >= 2 && position < count);
    switch (direction) {
        case SlideshowDirection::kBackward:
            if (position > 0) return {position - 1, false};
            return wrapAround ? SlideshowStep{count - 1, false} : SlideshowStep{0, true};
        case SlideshowDirection::kRandom: return {randomValue % (count - 1), false};
        case SlideshowDirection::kForward:
        default:
            if (position + 1 < count) return {position + 1, false};
            return wrapAround ? SlideshowStep{0, false} : SlideshowStep{count - 1, true};
    }
}

}  // namespace marbleye
