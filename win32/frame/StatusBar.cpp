#include "win32/frame/StatusBar.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/StatusText.h"
#include "win32/app/Program.h"
#include "win32/viewer/MediaWindow.h"
#include "win32/resources/resource.h"

namespace marbleye::win32 {

namespace {

CalendarTime ToCalendar(uint64_t ticks) {
    const FILETIME time{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME fields{};
    FileTimeToSystemTime(&time, &fields);
    return CalendarTime{fields.wYear, fields.wMonth, fields.wDay, fields.wHour, fields.wMinute, fields.wSecond};
}

std::string PlayingText() {
    const Playback& playback = App().playback;
    if (!playback.active) return std::string();
    char text[96];
    switch (playback.kind) {
        case AnimationKind::kGif: wsprintfA(text, "Playing GIF (%d Frames)", playback.frameCount); break;
        case AnimationKind::kMng:
            wsprintfA(text, "Playing MNG (%d Frames, %d Layers)", playback.frameCount, playback.layerCount);
            break;
        case AnimationKind::kMedia: return MediaPlayingText(MediaLengthSeconds());
        default: lstrcpyA(text, "Playing Animation"); break;
    }
    return text;
}

}  // namespace

void CreateStatusBar() {
    Program& app = App();
    app.statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "Marbleye", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0,
                                    0, app.window, reinterpret_cast<HMENU>(IDC_STATUSBAR), app.instance, nullptr);
    RECT frame{};
    if (app.statusBar) GetWindowRect(app.statusBar, &frame);
    app.statusBarHeight = frame.bottom - frame.top;
}

void DestroyStatusBar() {
    Program& app = App();
    if (app.statusBar) DestroyWindow(app.statusBar);
    app.statusBar = nullptr;
    app.statusBarHeight = 0;
}

void UpdateTitleAndStatus() {
    Program& app = App();
    StatusFacts facts;
    if (const FolderEntry* entry = app.folder.Current()) {
        facts.hasEntry = true;
        facts.entryName = entry->name;
        facts.fullPathsInBrowser = app.folder.fullPaths && app.browserMode;
        facts.fileSize = entry->size;
        facts.lastWrite = ToCalendar(entry->lastWrite);
        facts.position = static_cast<int32_t>(app.folder.position) + 1;
        facts.count = static_cast<int32_t>(app.folder.entries.size());
    }
    facts.canvasWidth = app.canvas.width();
    facts.canvasHeight = app.ShownHeight();
    facts.fileBitDepth = app.image.fileBitDepth;
    facts.zoom = app.display.zoom;
    facts.playing = PlayingText();
    facts.loadTimeMs = app.image.loadTimeMs;
    const StatusTexts texts = ComposeStatus(facts);
    if (facts.hasEntry) SetWindowTextA(app.window, texts.title.c_str());
    if (!app.statusBar) return;

    if (!facts.hasEntry) {
        SendMessageA(app.statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(texts.fields[0].c_str()));
        return;
    }
    HDC dc = GetDC(app.statusBar);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(app.statusBar, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(app.statusBar, dc);
    int edges[6];
    int right = 0;
    for (int i = 0; i < 6; ++i) {
        right += (static_cast<int>(texts.fields[i].size()) + 2) * metrics.tmAveCharWidth;
        edges[i] = i == 5 ? -1 : right;
    }
    SendMessageA(app.statusBar, SB_SETPARTS, 6, reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < 6; ++i) {
        SendMessageA(app.statusBar, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts.fields[i].c_str()));
    }
    SendMessageA(app.statusBar, WM_SIZE, 0, 0);
}

}  // namespace marbleye::win32
