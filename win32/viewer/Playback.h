#pragma once

#include <string>

namespace marbleye::win32 {

// The colour profile beside the program ("sRGB.icm") as the core opens it;
// MNG and JNG pictures are not shown without it.
std::string MngOutputProfile();

// Starts playing the picture just loaded when it is an animation: the frame
// strip of a GIF of two or more frames (timer 2, each frame for its own
// delay), an MNG of two or more frames through its player (timer 2 at the
// delays the player asks for), or the media window a video or sound file
// just opened, at the video size of the setting "Size".
void StartPlayback();
// Stops any animation and closes the media window; the canvas keeps what it
// holds.
void StopPlayback();
// Timer 2: the next frame.
void ShowNextFrame();

}  // namespace marbleye::win32
