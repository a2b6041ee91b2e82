#include "win32/platform/VideoFrame.h"

#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <cstdlib>

#include "canvas/PixelLimits.h"

namespace marbleye::win32 {

namespace {

// The AVI file services, open for as long as the object lives.
class AviServices {
public:
    AviServices() { AVIFileInit(); }
    ~AviServices() { AVIFileExit(); }
    AviServices(const AviServices&) = delete;
    AviServices& operator=(const AviServices&) = delete;
};

// Releases what the services handed out, in the reverse order.
struct AviHandles {
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    PGETFRAME frames = nullptr;
    ~AviHandles() {
        if (frames) AVIStreamGetFrameClose(frames);
        if (stream) AVIStreamRelease(stream);
        if (file) AVIFileRelease(file);
    }
};

// Where the pixels of a packed device-independent bitmap begin.
const uint8_t* PixelsOf(const BITMAPINFOHEADER& header) {
    size_t colours = header.biClrUsed;
    if (colours == 0 && header.biBitCount <= 8) colours = size_t{1} << header.biBitCount;
    size_t masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER) ? 3 : 0;
    return reinterpret_cast<const uint8_t*>(&header) + header.biSize + colours * sizeof(RGBQUAD) + masks * 4;
}

// A frame the codec delivered, in whatever depth and row order it chose,
// converted by GDI into a bottom-up 24-bit section and copied into the canvas.
bool DrawFrame(const BITMAPINFOHEADER& frame, ImageCanvas& canvas) {
    const int64_t rows = frame.biHeight;
    if (!CheckedLayout(frame.biWidth, rows < 0 ? -rows : rows, 24)) return false;
    const int32_t width = frame.biWidth;
    const auto height = static_cast<int32_t>(rows < 0 ? -rows : rows);

    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool drawn = false;
    if (section && bits) {
        HGDIOBJ previous = SelectObject(dc, section);
        drawn = SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, PixelsOf(frame),
                                  reinterpret_cast<const BITMAPINFO*>(&frame), DIB_RGB_COLORS) == height;
        GdiFlush();
        SelectObject(dc, previous);
        drawn = drawn && canvas.CreateFromBits(width, height, 24, static_cast<const uint8_t*>(bits), Palette256{});
    }
    if (section) DeleteObject(section);
    if (dc) DeleteDC(dc);
    return drawn;
}

}  // namespace

VideoFrameLoad LoadVideoFrameThroughSystem(const std::string& path, ImageCanvas& canvas) {
    AviServices services;
    AviHandles avi;
    if (AVIFileOpenA(&avi.file, path.c_str(), OF_READ | OF_SHARE_DENY_WRITE, nullptr) != 0) {
        avi.file = nullptr;
        return VideoFrameLoad::kCannotOpen;
    }
    if (AVIFileGetStream(avi.file, &avi.stream, streamtypeVIDEO, 0) != 0) {
        avi.stream = nullptr;
        return VideoFrameLoad::kNoFrame;
    }
    avi.frames = AVIStreamGetFrameOpen(avi.stream, nullptr);
    if (!avi.frames) return VideoFrameLoad::kNoFrame;
    const auto* frame = static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(avi.frames, AVIStreamStart(avi.stream)));
    if (!frame || !DrawFrame(*frame, canvas)) return VideoFrameLoad::kNoFrame;
    return VideoFrameLoad::kLoaded;
}

}  // namespace marbleye::win32
