#include "win32/viewer/MediaWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

#include "win32/app/Program.h"

namespace marbleye::win32 {

namespace {

// A sound file's media window is its play bar, this wide.
constexpr int kSoundWidth = 300;

struct MediaState {
    HWND window = nullptr;
    SIZE video{};  // zero for sound
    double lengthSeconds = 0;
    LONG lastFrameMs = 1;  // where the position stands when the clip has played to its end
};

MediaState& Media() {
    static MediaState state;
    return state;
}

// Made with its play bar, which is hidden when it is not wanted.
constexpr DWORD kMediaStyles = WS_CHILD | WS_CLIPSIBLINGS | MCIWNDF_NOMENU | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYMODE |
                               MCIWNDF_NOAUTOSIZEWINDOW;

bool PlaybarWanted() {
    const Program& app = App();
    return app.settings.showPlaybar && !app.fullScreen;
}

// The play bar: a toolbar, or (under Wine) a trackbar beside a button, at
// the media window's bottom. Its controls count while the media window is
// still hidden, by their own style.
int PlaybarHeight(HWND media) {
    int height = 0;
    for (HWND child = GetWindow(media, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        const bool barControl = lstrcmpiA(name, TOOLBARCLASSNAMEA) == 0 || lstrcmpiA(name, TRACKBAR_CLASSA) == 0;
        if (!barControl || !(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT frame;
        GetWindowRect(child, &frame);
        height = std::max(height, static_cast<int>(frame.bottom - frame.top));
    }
    return height;
}

// The play bar's controls are the media window's children (the video is
// drawn into the window itself). Wine's media window takes the style but
// leaves its controls shown, so they are shown and hidden here as well.
void SetPlaybar(HWND media, bool show) {
    MCIWndChangeStyles(media, MCIWNDF_NOPLAYBAR, show ? 0 : MCIWNDF_NOPLAYBAR);
    for (HWND child = GetWindow(media, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ShowWindow(child, show ? SW_SHOWNA : SW_HIDE);
    }
}

// The video's size as the device reports it; some devices give the height
// of top-down frames as a negative number.
SIZE VideoSize(HWND media) {
    RECT source{};
    MCIWndGetSource(media, &source);
    return SIZE{std::abs(source.right - source.left), std::abs(source.bottom - source.top)};
}

}  // namespace

MediaOpening OpenMediaWindow(const std::string& path) {
    CloseMediaWindow();
    Program& app = App();
    MediaState& media = Media();
    media.window = MCIWndCreateA(app.window, app.instance, kMediaStyles, nullptr);
    if (!media.window) return MediaOpening{MediaOpening::Result::kNoWindow, 0, 0};
    SetPlaybar(media.window, PlaybarWanted());
    if (MCIWndOpen(media.window, path.c_str(), 0) != 0) {
        CloseMediaWindow();
        return MediaOpening{MediaOpening::Result::kCannotOpen, 0, 0};
    }
    media.video = VideoSize(media.window);
    MCIWndUseFrames(media.window);
    const LONG frames = MCIWndGetLength(media.window);
    MCIWndUseTime(media.window);
    const LONG length = MCIWndGetLength(media.window);
    media.lengthSeconds = length / 1000.0;
    // A video stops at the start of its last frame.
    if (frames > 0) media.lastFrameMs = std::max<LONG>(1, length / frames);
    const SIZE size = MediaWindowSize(1.0f);
    return MediaOpening{MediaOpening::Result::kOpened, size.cx, size.cy};
}

void CloseMediaWindow() {
    MediaState& media = Media();
    if (media.window) {
        MCIWndStop(media.window);
        MCIWndDestroy(media.window);
        if (IsWindow(media.window)) DestroyWindow(media.window);
    }
    media = MediaState{};
}

bool MediaWindowOpen() { return Media().window != nullptr; }

double MediaLengthSeconds() { return Media().lengthSeconds; }

SIZE MediaWindowSize(float zoom) {
    const MediaState& media = Media();
    if (!media.window) return SIZE{};
    RECT frame, client;
    GetWindowRect(media.window, &frame);
    GetClientRect(media.window, &client);
    const int edgeWidth = (frame.right - frame.left) - client.right;
    const int edgeHeight = (frame.bottom - frame.top) - client.bottom;
    const bool video = media.video.cx > 0 && media.video.cy > 0;
    const int width = video ? static_cast<int>(media.video.cx * zoom) : kSoundWidth;
    const int height = video ? static_cast<int>(media.video.cy * zoom) : 0;
    return SIZE{width + edgeWidth, height + PlaybarHeight(media.window) + edgeHeight};
}

void PlaceMediaWindow(float zoom) {
    const MediaState& media = Media();
    if (!media.window) return;
    const Program& app = App();
    const SIZE size = MediaWindowSize(zoom);
    RECT client;
    GetClientRect(app.window, &client);
    const int viewHeight = client.bottom - app.toolbarHeight - app.statusBarHeight;
    const int x = std::max(0, (static_cast<int>(client.right) - static_cast<int>(size.cx)) / 2);
    const int y = app.toolbarHeight + std::max(0, (viewHeight - static_cast<int>(size.cy)) / 2);
    SetWindowPos(media.window, HWND_TOP, x, y, size.cx, size.cy, SWP_SHOWWINDOW);
    if (media.video.cx > 0) {
        RECT destination{0, 0, static_cast<LONG>(media.video.cx * zoom), static_cast<LONG>(media.video.cy * zoom)};
        MCIWndPutDest(media.window, &destination);
    }
}

void StartMediaWindow(float zoom) {
    PlaceMediaWindow(zoom);
    if (MediaWindowOpen()) MCIWndPlay(Media().window);
}

void ShowMediaPlaybar(bool show) {
    const MediaState& media = Media();
    if (!media.window) return;
    SetPlaybar(media.window, show);
    PlaceMediaWindow(App().display.zoom);
}

LRESULT OnMediaModeChanged(HWND, WPARAM wParam, LPARAM lParam) {
    const MediaState& media = Media();
    const auto from = reinterpret_cast<HWND>(wParam);
    if (!media.window || from != media.window || lParam != MCI_MODE_STOP || !App().settings.loop) return 0;
    // Only a clip that reached its end starts again: one stopped by the
    // user, or one that cannot play (sound without a sound device), stays.
    const LONG position = MCIWndGetPosition(media.window);
    if (position <= MCIWndGetStart(media.window) || position < MCIWndGetEnd(media.window) - media.lastFrameMs) return 0;
    MCIWndHome(media.window);
    MCIWndPlay(media.window);
    return 0;
}

}  // namespace marbleye::win32
