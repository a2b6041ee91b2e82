#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void ChangePixels(HWND window, int32_t id);
void ConvertColourDepth(HWND window, int32_t id);
void Undo(HWND window, int32_t id);

// Changes to the picture's pixels, each after an undo copy.
inline constexpr CommandRoute kImageCommands[] = {
    {command::kFlip, &ChangePixels},
    {command::kMirror, &ChangePixels},
    {command::kRotateLeft, &ChangePixels},
    {command::kRotateRight, &ChangePixels},
    {command::kGrayscale, &ChangePixels},
    {command::kInvert, &ChangePixels},
    {command::kRedChannel, &ChangePixels},
    {command::kGreenChannel, &ChangePixels},
    {command::kBlueChannel, &ChangePixels},
    {command::kAlphaAsImage, &ChangePixels},
    {command::kAlphaAsLayer, &ChangePixels},
    {command::kRgbToBgr, &ChangePixels},
    {command::kRgbToGrb, &ChangePixels},
    {command::kRgbToRbg, &ChangePixels},
    {command::kConvertTo4Bit, &ConvertColourDepth},
    {command::kConvertTo8Bit, &ConvertColourDepth},
    {command::kConvertTo16Bit, &ConvertColourDepth},
    {command::kConvertTo24Bit, &ConvertColourDepth},
    {command::kUndo, &Undo},
};

}  // namespace marbleye::win32
