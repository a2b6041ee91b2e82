#include "app/WindowLayout.h"

#include <algorithm>

namespace marbleye {

WindowPlacement PlaceWindowForImage(int32_t a, int32_t b, const WindowMetrics& m, const WindowModes& modes) {
    const int32_t CH = m.captionHeight, M = m.menuHeight, SW = m.screenWidth, FH = m.fullScreenClientHeight;
    const int32_t T = m.toolbarHeight, S = m.statusBarHeight, O = T + S + M;
    WindowPlacement p;
    a = std::max(a, m.menuBarWidth - 12);
    p.x = (SW - a) / 2 - 6;
    p.width = a + 12;
    p.y = (CH + FH - b) / 2 - (O + CH) / 2 - 7;
    p.height = O + CH + b + 14;
    if (a >= SW - 12 || (SW - a) / 2 < 6) p.x = 0, p.width = SW;
    const int32_t U = FH - T - S - M;
    if (b >= U - 14 || p.y < 0) p.y = 0, p.height = CH + FH;
    if (modes.viewStyle == 1) {
        if (a > 0 && b > 0 && (a >= SW - 6 || b >= U - 7)) {
            const float t = std::min(static_cast<float>(SW - 6) / a, static_cast<float>(U - 7) / b);
            const int32_t w = std::max(std::min(static_cast<int32_t>(a * t), a), 486);
            const int32_t h = std::max(std::min(static_cast<int32_t>(b * t), b), 226);
            p.width = w + 6;
            p.x = (SW - w - 6) / 2;
            p.y = (U - h - 7) / 2;
            p.height = O + h + CH + 7;
        }
        p.noEnlarge = true;
    }
    if (modes.fullScreen || modes.alwaysMaximize) p.x = 0, p.y = 0, p.width = SW, p.height = m.screenHeight;
    if (modes.useLastPosition) {
        p.x = modes.lastX, p.y = modes.lastY, p.width = modes.lastWidth, p.height = modes.lastHeight;
        p.noEnlarge = false;
    }
    return p;
}

FitResult FitImageToArea(int32_t clientWidth, int32_t clientHeight, int32_t toolbarHeight, int32_t statusBarHeight,
                         int32_t imageWidth, int32_t imageHeight, bool noEnlarge) {
    FitResult fit;
    if (imageWidth <= 0 || imageHeight <= 0) return fit;
    const int32_t areaWidth = clientWidth - 4;
    const int32_t areaHeight = clientHeight - toolbarHeight - statusBarHeight - 4;
    const float scale = std::min(static_cast<float>(areaWidth) / imageWidth, static_cast<float>(areaHeight) / imageHeight);
    fit.width = std::max(static_cast<int32_t>(imageWidth * scale), 1);
    fit.height = std::max(static_cast<int32_t>(imageHeight * scale), 1);
    if (noEnlarge) fit.width = std::min(fit.width, imageWidth), fit.height = std::min(fit.height, imageHeight);
    fit.x = (areaWidth - fit.width + 4) / 2;
    fit.y = toolbarHeight + (areaHeight - fit.height + 4) / 2;
    fit.zoom = std::min(static_cast<float>(fit.width) / imageWidth, static_cast<float>(fit.height) / imageHeight);
    return fit;
}

FitResult FitImageToScreen(int32_t screenWidth, int32_t screenHeight, int32_t imageWidth, int32_t imageHeight,
                           bool stretchSmall) {
    FitResult fit;
    if (imageWidth <= 0 || imageHeight <= 0) return fit;
    const float scale = std::min(static_cast<float>(screenWidth) / static_cast<float>(imageWidth),
                                 static_cast<float>(screenHeight) / static_cast<float>(imageHeight));
    fit.width = static_cast<int32_t>(static_cast<float>(imageWidth) * scale);
    fit.height = static_cast<int32_t>(static_cast<float>(imageHeight) * scale);
    if (!stretchSmall) fit.width = std::min(fit.width, imageWidth), fit.height = std::min(fit.height, imageHeight);
    fit.x = (screenWidth - fit.width) / 2;
    fit.y = (screenHeight - fit.height) / 2;
    fit.zoom = static_cast<float>(fit.width) / static_cast<float>(imageWidth);
    return fit;
}

}  // namespace marbleye
