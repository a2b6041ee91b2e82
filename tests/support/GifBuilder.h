#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marbleye::test {

// Builds GIF files for reader tests. Its LZW coder is deliberately the
// simplest one (every pixel a literal code, a clear code before the table
// would grow), so it shares nothing with the program's encoder.
struct GifFrame {
    int left = 0, top = 0, width = 1, height = 1;
    bool interlaced = false;
    std::vector<uint8_t> localTable;  // RGB triples; empty for none
    std::vector<uint8_t> indices;     // width x height, top row first
    std::optional<int> delay;         // a graphic control extension when set
    int transparent = -1;
    int disposal = 0;
    int minimumCodeSize = 8;
};

struct GifBuilder {
    std::string version = "89a";
    int screenWidth = 1, screenHeight = 1;
    std::vector<uint8_t> globalTable;  // RGB triples, a power of two of them; empty for none
    int background = 0;
    std::vector<GifFrame> frames;
    bool trailer = true;

    std::string Bytes() const;
};

}  // namespace marbleye::test
