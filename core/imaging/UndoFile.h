#pragma once

#include <string>

#include "canvas/ImageCanvas.h"

namespace marbleye {

// The one level of undo kept on disk: the picture's width and height (two
// 32-bit little-endian numbers), then its rows at 24 bits, bottom row first,
// padded to 4 bytes. Storing the size lets an operation that changes it (a
// rotation, a paste) be undone too.
bool WriteUndoFile(const std::string& path, const ImageCanvas& canvas);

// Re-creates the canvas at 24 bits from the file with the palette given;
// false, with the canvas unchanged, when the file is missing or does not
// hold a whole picture.
bool ReadUndoFile(const std::string& path, ImageCanvas& canvas, const Palette256& palette);

}  // namespace marbleye
