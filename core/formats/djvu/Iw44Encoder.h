#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/Host.h"

namespace marbleye::djvu {

// A picture for the IW44 coder: samples from -128 to 127, rows from the
// bottom. Colour pictures have luminance (-128 black) and two chroma planes;
// grey pictures one plane that counts the other way (-128 white) and no
// chroma.
struct Iw44Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<int8_t> luma, blueChroma, redChroma;

    bool grey() const { return blueChroma.empty(); }
};

struct Iw44Options {
    // Slices of each chunk, in order; a slice is one band of every component
    // at the next step of the quantiser.
    std::vector<int32_t> slicesPerChunk{74, 15, 10};
    // Slices of luminance alone before chroma coding begins: the first
    // slices show the picture's shapes sooner that way.
    int32_t chromaDelay = 10;
};

// The bodies of the IW44 chunks (BG44, or BM44/PM44 in a picture file) that
// describe the picture. Nothing when the coder's planes cannot be allocated.
std::optional<std::vector<std::vector<uint8_t>>> EncodeIw44(const Iw44Picture& picture, const Iw44Options& options,
                                                            Host& host);

}  // namespace marbleye::djvu
