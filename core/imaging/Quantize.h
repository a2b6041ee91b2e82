#pragma once

#include <cstdint>
#include <optional>

#include "canvas/Palette.h"
#include "canvas/PixelBuffer.h"

namespace marbleye {

class Host;

// How the 256-colour palette is made.
enum class PaletteMethod : int32_t {
    kMedianCut = 0,
    kPopularitySort = 1,
    kDefaultPalette = 2,
    kNeuralBest = 3,
    kNeuralMedium = 4,
    kNeuralWorst = 5,
};

// How pixels are mapped onto it.
enum class DitherType : int32_t { kNone = 0, kOrdered = 1, kJitter = 2, kSerpentine = 3 };

// Dithering that prepares 24-bit pixels for a 5-6-5 display.
enum class HighColourDither : int32_t { kNone = 0, kOrdered = 1, kFloydSteinberg = 2 };

// Reduces a 24-bit buffer (rows as the canvas stores them) to 8-bit indices
// and fills all 256 palette entries. Empty when a working buffer cannot be
// had. The host, when given, has its message queue pumped after each row.
PixelBuffer QuantizeToPalette(const PixelBuffer& pixels, PaletteMethod method, DitherType dither, Palette256& palette,
                              Host* host = nullptr);

// Eight colours with an 8 x 8 Bayer dither, at 4 bits per pixel. The source
// rows are 4, 8 or 24 bits per pixel; paletted rows use sourcePalette (blue,
// green, red). Palette entries 0..7 are written.
PixelBuffer ReduceTo16Colours(const uint8_t* source, int32_t sourceBits, const PaletteBgr& sourcePalette, int32_t width,
                              int32_t height, Palette256& palette);

// Dithers a 24-bit buffer in place for a display of 5 bits red, 6 green, 5 blue.
void DitherToHighColour(PixelBuffer& pixels, HighColourDither dither);

// The fixed 256-colour palette of method 2.
const Palette256& DefaultPalette256();

// A picture as 8-bit indices and their palette, the form 8-bit writers need.
struct IndexedPicture {
    PixelBuffer indices;
    Palette256 palette{};
};

}  // namespace marbleye
