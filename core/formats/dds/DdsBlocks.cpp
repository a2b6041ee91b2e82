#include "formats/dds/DdsBlocks.h"

namespace marbleye::dds {

namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// 5 and 6-bit fields widened to 8 bits by repeating their top bits.
void Expand565(uint16_t value, int rgb[3]) {
    const int r = (value >> 11) & 0x1F, g = (value >> 5) & 0x3F, b = value & 0x1F;
    rgb[0] = (r << 3) | (r >> 2);
    rgb[1] = (g << 2) | (g >> 4);
    rgb[2] = (b << 3) | (b >> 2);
}

// The colour half of a block; fourColours forces the opaque four-colour
// mode of BC2 and BC3. Alpha is set to 255, or 0 for the transparent code.
void DecodeColours(const uint8_t* block, bool fourColours, Texels& out) {
    const uint16_t c0 = U16(block), c1 = U16(block + 2);
    int palette[4][4];
    Expand565(c0, palette[0]);
    Expand565(c1, palette[1]);
    palette[0][3] = palette[1][3] = palette[2][3] = palette[3][3] = 255;
    if (fourColours || c0 > c1) {
        for (int c = 0; c < 3; ++c) {
            palette[2][c] = (2 * palette[0][c] + palette[1][c]) / 3;
            palette[3][c] = (palette[0][c] + 2 * palette[1][c]) / 3;
        }
    } else {
        for (int c = 0; c < 3; ++c) {
            palette[2][c] = (palette[0][c] + palette[1][c]) / 2;
            palette[3][c] = 0;
        }
        palette[3][3] = 0;
    }
    const uint32_t codes = U32(block + 4);
    for (int i = 0; i < 16; ++i) {
        const int* colour = palette[(codes >> (2 * i)) & 3];
        for (int c = 0; c < 4; ++c) out.rgba[i][c] = static_cast<uint8_t>(colour[c]);
    }
}

}  // namespace

void DecodeBc1(const uint8_t* block, Texels& out) { DecodeColours(block, false, out); }

bool Bc1HasTransparency(const uint8_t* block) {
    if (U16(block) > U16(block + 2)) return false;
    const uint32_t codes = U32(block + 4);
    for (int i = 0; i < 16; ++i) {
        if (((codes >> (2 * i)) & 3) == 3) return true;
    }
    return false;
}

void DecodeBc2(const uint8_t* block, Texels& out) {
    DecodeColours(block + 8, true, out);
    for (int i = 0; i < 16; ++i) {
        const int alpha = (block[i / 2] >> (4 * (i % 2))) & 0xF;
        out.rgba[i][3] = static_cast<uint8_t>(alpha * 17);
    }
}

void DecodeBc3(const uint8_t* block, Texels& out) {
    DecodeColours(block + 8, true, out);
    const int a0 = block[0], a1 = block[1];
    int alphas[8] = {a0, a1};
    if (a0 > a1) {
        for (int i = 1; i <= 6; ++i) alphas[i + 1] = ((7 - i) * a0 + i * a1) / 7;
    } else {
        for (int i = 1; i <= 4; ++i) alphas[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        alphas[6] = 0;
        alphas[7] = 255;
    }
    uint64_t codes = 0;
    for (int i = 0; i < 6; ++i) codes |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i) out.rgba[i][3] = static_cast<uint8_t>(alphas[(codes >> (3 * i)) & 7]);
}

}  // namespace marbleye::dds
