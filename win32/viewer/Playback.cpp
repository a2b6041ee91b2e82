#include "win32/viewer/Playback.h"

#include "win32/app/Program.h"
#include "win32/app/Timers.h"
#include "win32/platform/Paths.h"
#include "win32/viewer/MediaWindow.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

// The delay of the frame shown while the counter stands at currentFrame.
UINT DelayOfCurrentFrame(const Playback& playback) {
    const auto index = static_cast<size_t>(playback.currentFrame - 1);
    const int32_t hundredths = index < playback.delays.size() ? playback.delays[index] : 10;
    return static_cast<UINT>(hundredths) * 10;
}

// The player's timer is the main window's timer 2, its refresh a repaint.
class WindowMngHost : public MngPlayerHost {
public:
    void SetTimer(uint32_t milliseconds) override {
        ::SetTimer(App().window, kAnimationTimer, static_cast<UINT>(milliseconds), nullptr);
    }
    void Refresh() override {
        InvalidateRect(App().window, nullptr, FALSE);
        UpdateWindow(App().window);
    }
};

WindowMngHost& MngHost() {
    static WindowMngHost host;
    return host;
}

void StartMngPlayback() {
    Program& app = App();
    Playback& playback = app.playback;
    playback.kind = AnimationKind::kMng;
    playback.active = true;
    playback.frameCount = app.image.mngCounts.frameCount;
    playback.currentFrame = 1;
    playback.layerCount = app.image.mngCounts.layerCount;
    playback.mng = std::make_unique<MngPlayer>();
    const Status playing = playback.mng->Play(app.image.path, MngOutputProfile(), app.canvas, MngHost());
    if (!playing) StopPlayback();
}

}  // namespace

// Double size shows the video at twice its size; the other sizes at its own.
void StartMedia() {
    Program& app = App();
    app.playback.kind = AnimationKind::kMedia;
    app.playback.active = true;
    app.display.zoom = app.settings.videoSize == 2 ? 2.0f : 1.0f;
    const SIZE size = MediaWindowSize(app.display.zoom);
    SizeWindowToImage(size.cx, size.cy);
    StartMediaWindow(app.display.zoom);
}

std::string MngOutputProfile() { return ToCorePath(ProgramFolder() + "\\sRGB.icm"); }

void StartPlayback() {
    Program& app = App();
    if (app.image.mngCounts.animated() && app.canvas.valid()) {
        StartMngPlayback();
        return;
    }
    if (MediaWindowOpen()) {
        StartMedia();
        return;
    }
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
    CloseMediaWindow();
    app.playback = Playback();
}

void ShowNextFrame() {
    Program& app = App();
    Playback& playback = app.playback;
    if (playback.active && playback.kind == AnimationKind::kMng && playback.mng) {
        // The player sets the timer again for the frame after this one.
        KillTimer(app.window, kAnimationTimer);
        if (!playback.mng->ShowNextFrame()) StopPlayback();
        return;
    }
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
