#include "win32/viewer/Playback.h"

#include "win32/app/Program.h"
#include "win32/app/Timers.h"

namespace marbleye::win32 {

namespace {

// The delay of the frame shown while the counter stands at currentFrame.
UINT DelayOfCurrentFrame(const Playback& playback) {
    const auto index = static_cast<size_t>(playback.currentFrame - 1);
    const int32_t hundredths = index < playback.delays.size() ? playback.delays[index] : 10;
    return static_cast<UINT>(hundredths) * 10;
}

}  // namespace

void StartPlayback() {
    Program& app = App();
    const FrameStrip& strip = app.image.animation;
    if (strip.frameCount < 2 || strip.cellHeight <= 0 || !app.canvas.valid()) return;
    Playback& playback = app.playback;
    playback.kind = AnimationKind::kGif;
    playback.active = true;
    playback.frameCount = playback.currentFrame = strip.frameCount;
    playback.cellHeight = strip.cellHeight;
    playback.delays = strip.delays;
    SetTimer(app.window, kAnimationTimer, DelayOfCurrentFrame(playback), nullptr);
}

void StopPlayback() {
    Program& app = App();
    if (app.window) KillTimer(app.window, kAnimationTimer);
    app.playback = Playback();
}

void ShowNextFrame() {
    Program& app = App();
    Playback& playback = app.playback;
    if (!playback.active || playback.kind != AnimationKind::kGif) {
        KillTimer(app.window, kAnimationTimer);
        return;
    }
    if (--playback.currentFrame < 1) playback.currentFrame = playback.frameCount;
    InvalidateRect(app.window, nullptr, FALSE);
    UpdateWindow(app.window);
    SetTimer(app.window, kAnimationTimer, DelayOfCurrentFrame(playback), nullptr);
}

}  // namespace marbleye::win32
