#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marbleye::test {

// Builds bitmap files field by field for reader tests.
struct BmpBuilder {
    uint32_t headerSize = 40;  // 12, 40, 64, 108 or any other value under test
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks;  // written right after the header fields that precede them
    std::vector<uint8_t> palette;  // raw entries as stored
    std::vector<uint8_t> pixels;   // raw pixel data as stored
    uint32_t dataOffset = 0;       // 0: right after the palette

    std::string Bytes() const;
};

}  // namespace marbleye::test
