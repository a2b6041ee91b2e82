#pragma once

#include <cstdint>

namespace marbleye {

// The system and window measures the window-sizing rule depends on.
struct WindowMetrics {
    int32_t captionHeight = 0;
    int32_t menuHeight = 0;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t fullScreenClientHeight = 0;  // SM_CYFULLSCREEN
    int32_t toolbarHeight = 0;           // 0 when hidden
    int32_t statusBarHeight = 0;         // 0 when hidden
    int32_t menuBarWidth = 0;            // sum of (item width + 4) over the top-level items
};

struct WindowModes {
    int32_t viewStyle = 0;  // 0 fit none, 1 fit to window, 2 full screen
    bool fullScreen = false;
    bool alwaysMaximize = false;
    bool useLastPosition = false;
    int32_t lastX = 0, lastY = 0, lastWidth = 0, lastHeight = 0;
};

struct WindowPlacement {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool noEnlarge = false;  // fit mode: a picture smaller than the window is not enlarged
};

// Where the main window goes for a picture shown at displayWidth x
// displayHeight pixels.
WindowPlacement PlaceWindowForImage(int32_t displayWidth, int32_t displayHeight, const WindowMetrics& metrics,
                                    const WindowModes& modes);

// The picture's rectangle in fit mode inside a client area of the given size
// between toolbar and status bar, and the zoom that results.
struct FitResult {
    int32_t x = 0, y = 0, width = 0, height = 0;
    float zoom = 1.0f;
};
FitResult FitImageToArea(int32_t clientWidth, int32_t clientHeight, int32_t toolbarHeight, int32_t statusBarHeight,
                         int32_t imageWidth, int32_t imageHeight, bool noEnlarge);

// Full screen without "FullSize": the picture scaled to the screen and
// centred on it; a smaller picture keeps its size unless stretchSmall.
FitResult FitImageToScreen(int32_t screenWidth, int32_t screenHeight, int32_t imageWidth, int32_t imageHeight,
                           bool stretchSmall);

}  // namespace marbleye
