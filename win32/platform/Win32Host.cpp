#include "win32/platform/Win32Host.h"

#include <commctrl.h>

#include "win32/platform/GdiMetafile.h"
#include "win32/platform/Messages.h"
#include "win32/platform/SystemIcon.h"
#include "win32/platform/VideoFrame.h"
#include "win32/app/Program.h"
#include "win32/viewer/MediaWindow.h"

namespace marbleye::win32 {

void Win32Host::BeginProgress(int32_t steps) {
    Program& app = App();
    if (app.resizeSuppressed || !app.window || steps <= 0) return;
    RECT client;
    GetClientRect(app.window, &client);
    const int height = app.statusBarHeight > 0 ? app.statusBarHeight - 1 : 19;
    progress_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 3, client.bottom - height - 3,
                                client.right - 6, height, app.window, nullptr, app.instance, nullptr);
    if (!progress_) return;
    SendMessageA(progress_, PBM_SETRANGE32, 0, steps);
    SendMessageA(progress_, PBM_SETSTEP, 1, 0);
}

void Win32Host::StepProgress() {
    if (!progress_) return;
    SendMessageA(progress_, PBM_STEPIT, 0, 0);
    UpdateWindow(progress_);
}

void Win32Host::EndProgress() {
    if (progress_) DestroyWindow(progress_);
    progress_ = nullptr;
}

void Win32Host::PumpOneMessage() {
    MSG message;
    if (PeekMessageA(&message, App().window, 0, 0, PM_NOREMOVE) && GetMessageA(&message, App().window, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Win32Host::ReportError(const std::string& message) { win32::ReportError("%s", message.c_str()); }

int32_t Win32Host::DisplayDepth() const { return GetDisplayDepth(); }

uint8_t Win32Host::ErrorPictureFillByte() const { return static_cast<uint8_t>(GetSysColor(COLOR_WINDOW) & 0xFF); }

void Win32Host::DrawErrorText(ImageCanvas& canvas, const std::string& text) {
    HDC dc = App().allocator.dc();
    if (!dc) return;
    RECT area{0, 0, canvas.width(), canvas.height()};
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();
}

IconLoad Win32Host::LoadIconThroughSystem(const std::string& path, ImageCanvas& canvas) {
    return LoadSystemIcon(path, canvas);
}

std::unique_ptr<SystemMetafile> Win32Host::LoadMetafileThroughSystem(const MetafileBytes& metafile) {
    return LoadGdiMetafile(metafile, [] { return App().allocator.dc(); });
}

VideoFrameLoad Win32Host::LoadFirstVideoFrame(const std::string& path, ImageCanvas& canvas) {
    return LoadVideoFrameThroughSystem(path, canvas);
}

MediaOpening Win32Host::OpenMediaWindow(const std::string& path) { return win32::OpenMediaWindow(path); }

}  // namespace marbleye::win32
