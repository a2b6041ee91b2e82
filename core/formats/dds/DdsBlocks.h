#pragma once

#include <cstddef>
#include <cstdint>

namespace marbleye::dds {

// A decoded 4 x 4 block: texel (x, y) is at [y * 4 + x], as red, green,
// blue, alpha.
struct Texels {
    uint8_t rgba[16][4];
};

inline constexpr size_t kBc1BlockBytes = 8;
inline constexpr size_t kBc2BlockBytes = 16;
inline constexpr size_t kBc3BlockBytes = 16;

// Two RGB 5:6:5 end points and sixteen 2-bit codes; when the first end
// point is not above the second, code 3 is transparent black.
void DecodeBc1(const uint8_t* block, Texels& out);
// Whether a BC1 block uses its transparent code.
bool Bc1HasTransparency(const uint8_t* block);
// Sixteen explicit 4-bit alphas, then a four-colour BC1 block.
void DecodeBc2(const uint8_t* block, Texels& out);
// Two alpha end points with sixteen 3-bit codes, then a four-colour BC1 block.
void DecodeBc3(const uint8_t* block, Texels& out);

}  // namespace marbleye::dds
