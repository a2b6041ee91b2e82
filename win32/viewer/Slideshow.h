#pragma once

#include <windows.h>

namespace marbleye::win32 {

// Starts or stops the slideshow over the folder list (timer 1, "Delay").
void StartSlideshow(HWND window);
void StopSlideshow(HWND window);
void ToggleSlideshow(HWND window);

// Timer 1: the next picture by "Direction" and "WrapAround".
void StepSlideshow(HWND window);

}  // namespace marbleye::win32
