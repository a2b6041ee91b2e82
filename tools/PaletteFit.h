#pragma once

#include <vector>

#include "Picture.h"

namespace marbleye::artwork {

// The pixels with at most 256 colours: unchanged when they have no more,
// otherwise the colours in `exact` stay as they are and the others share the
// remaining entries, found by median cut over the counted colours. No other
// colour becomes one of the exact ones.
std::vector<Rgb> AtMost256Colours(const std::vector<Rgb>& pixels, const std::vector<Rgb>& exact);

}  // namespace marbleye::artwork
