#pragma once

#include <cstdint>
#include <vector>

namespace marbleye::fpx {

// How a tile is coded (the tile table's compression type).
namespace compression {
inline constexpr uint32_t kUncompressed = 0, kSingleColour = 1, kJpeg = 2;
}

// One entry of a resolution's tile table.
struct TileEntry {
    uint32_t offset = 0;  // in the resolution's data stream
    uint32_t size = 0;
    uint32_t compression = 0;
    uint32_t subtype = 0;  // the four bytes as stored, the first in the lowest bits
};

// The JPEG subtype's bytes: interleaving, chroma subsampling, whether the
// coder converted the colour, and which stored table set the tile uses
// (0: the tile carries its own).
inline bool JpegColourConverted(uint32_t subtype) { return ((subtype >> 16) & 0xFF) != 0; }
inline uint32_t JpegTableIndex(uint32_t subtype) { return subtype >> 24; }

// The pixels of one tile: tileWidth x tileHeight pixels of `channels` bytes,
// channels interleaved, as stored (before any colour conversion).
struct TileShape {
    int32_t width = 64;
    int32_t height = 64;
    int32_t channels = 3;
};

// Fills `pixels` (width x height x channels bytes) from a single-colour
// subtype: channel c is byte c of the field as stored.
void FillSingleColour(uint32_t subtype, const TileShape& shape, uint8_t* pixels);

// Decodes a JPEG tile into `pixels`, with the stored tables (empty when the
// tile carries its own). False when the library refuses the data or the
// tile's components do not match the shape.
bool DecodeJpegTile(const std::vector<uint8_t>& tables, const std::vector<uint8_t>& tile, bool colourConverted,
                    const TileShape& shape, uint8_t* pixels);

}  // namespace marbleye::fpx
