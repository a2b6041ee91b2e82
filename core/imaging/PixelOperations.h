#pragma once

#include <cstdint>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "canvas/PixelBuffer.h"
#include "common/Status.h"

namespace marbleye {

class Host;

// The one-step pixel commands of the Image menu. Those that need a working
// copy fail with a message when memory is short (or the canvas is empty) and
// leave the canvas as it was; the others return false only for an empty
// canvas.

// Turns the picture upside down, at any depth.
bool FlipImage(ImageCanvas& canvas);

// Exchanges left and right. The picture goes through a 24-bit copy, so a
// 32-bit canvas loses its fourth byte and a paletted one is mapped back onto
// its palette.
Status MirrorImage(ImageCanvas& canvas);

// A quarter turn counter-clockwise (left) or clockwise (right) as the picture
// is seen. The canvas becomes height x width at 24 bits, keeping its palette.
Status RotateLeft(ImageCanvas& canvas);
Status RotateRight(ImageCanvas& canvas);

// Replaces every pixel of a 24-bit buffer by its gray value, written to all
// three channels; the padding at the ends of the rows is left alone.
void GrayPixels(PixelBuffer& pixels);

// The gray picture reduced to 256 colours (median cut, serpentine
// Floyd-Steinberg) on an 8-bit canvas; the image's stored depth becomes 8.
Status GrayscaleImage(ImageCanvas& canvas, CurrentImage& image, Host* host = nullptr);

// Inverts every bit of the stored pixels: colours at 24 and 32 bits (the
// fourth byte too), palette indices at 1, 4 and 8 bits. Row padding stays.
bool InvertImage(ImageCanvas& canvas);

enum class ColourChannel : int32_t { kRed, kGreen, kBlue };
enum class ChannelSwap : int32_t { kRedBlue, kRedGreen, kGreenBlue };

// The per-pixel commands below act as if each row were read at 32 bits
// (blue, green, red, fourth byte; 0 for canvases without one), changed and
// written back at the canvas's depth, a paletted canvas taking the nearest
// palette entry of each new colour.

// Sets the two other colour channels to 0.
bool KeepChannel(ImageCanvas& canvas, ColourChannel channel);

// Copies the fourth byte into blue, green and red: everywhere, or only where
// it is not 0 (the picture then shows its alpha as a layer over itself).
bool ShowAlpha(ImageCanvas& canvas, bool onlyWhereAlpha);

bool SwapChannels(ImageCanvas& canvas, ChannelSwap which);

}  // namespace marbleye
