#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marbleye::test {

// Builds IFF picture files for reader tests from the published chunk layout.
// Its ByteRun1 coder writes literal packets of at most 128 bytes and runs of
// 3 or more equal bytes, coding each row of each plane on its own (the
// strictest reading of the published description), so it shares no code
// with the reader.
struct IffPicture {
    std::string formType = "ILBM";
    uint16_t width = 1, height = 1;
    uint8_t planes = 8;             // bits of a pixel
    uint8_t masking = 0;            // 1: a mask plane after the picture planes
    bool compress = false;          // ByteRun1
    std::vector<uint8_t> palette;   // the CMAP's bytes; empty for none
    bool viewModes = false;         // whether to write a CAMG chunk
    uint32_t modes = 0;
    // One value a pixel, top row first: an index, or at 24 planes red in
    // bits 0-7, green in 8-15 and blue in 16-23, as the planes hold them.
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> maskBits;  // the mask plane's bytes of each row, when masking is 1
};

// A chunk: four letters, the 32-bit big-endian size, the data and a pad byte.
std::string IffChunk(const std::string& name, const std::string& data);
std::string IffBigEndian32(uint32_t value);
std::string IffBigEndian16(uint16_t value);

// The 20-byte BMHD data.
std::string IffBitmapHeader(const IffPicture& picture);
// The BODY data: interleaved bit planes (plane k holding bit k) for ILBM,
// chunky rows padded to an even length otherwise.
std::string IffBodyData(const IffPicture& picture);
// The whole FORM.
std::string IffFile(const IffPicture& picture);

// Codes one row with ByteRun1.
std::string ByteRun1Row(const std::string& row);

}  // namespace marbleye::test
