#pragma once

#include <cstdint>
#include <optional>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "imaging/Quantize.h"

namespace marbleye {

class Host;

// The colour-depth commands on the canvas. Each works on a 24-bit copy and
// leaves the canvas as it was when memory is short (false).
bool ConvertCanvasTo16Colours(ImageCanvas& canvas, CurrentImage& image);
bool ConvertCanvasTo256Colours(ImageCanvas& canvas, CurrentImage& image, PaletteMethod method, DitherType dither,
                               Host* host = nullptr);
bool ConvertCanvasToHighColour(ImageCanvas& canvas, CurrentImage& image, HighColourDither dither);

// How a loaded picture is reduced for a display of fewer bits.
struct DisplayReduction {
    PaletteMethod method = PaletteMethod::kMedianCut;
    DitherType dither = DitherType::kSerpentine;
    HighColourDither highColour = HighColourDither::kFloydSteinberg;
};

// Reduces a freshly loaded picture of imageDepth bits (9 or more) to a display
// of 4, 8, 15 or 16 bits; other displays leave it as loaded.
void AdaptToDisplayDepth(ImageCanvas& canvas, CurrentImage& image, int32_t imageDepth, int32_t displayDepth,
                         const DisplayReduction& reduction, Host* host = nullptr);

// The canvas as 8-bit indices for a palette writer. A paletted canvas keeps its
// palette and indices, and a picture of at most 256 colours keeps exactly its
// colours; only pictures with more colours are reduced with method and dither.
std::optional<IndexedPicture> IndexedForWriting(const ImageCanvas& canvas, PaletteMethod method, DitherType dither,
                                                Host* host = nullptr);

}  // namespace marbleye
