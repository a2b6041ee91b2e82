#pragma once

namespace marbleye::win32 {

// Starts playing the frame strip of a GIF just loaded, when it has two or
// more frames (timer 2, each frame for its own delay).
void StartPlayback();
// Stops any animation; the canvas keeps what it holds.
void StopPlayback();
// Timer 2: the next frame.
void ShowNextFrame();

}  // namespace marbleye::win32
