#include "win32/viewer/ScaledDisplay.h"

#include "canvas/PixelBuffer.h"
#include "imaging/Resample.h"
#include "win32/app/Program.h"

namespace marbleye::win32 {

namespace {

constexpr int kLargestResampledSide = 1500;
// Zoomed far in, the target can be far larger than the screen; the system's
// stretch draws those without a buffer of the whole target.
constexpr int64_t kLargestTargetPixels = 3000 * 3000;

// The last resampled picture, kept for repaints at the same size.
struct ResampledPicture {
    PixelBuffer pixels;
    int32_t method = 0;
};

ResampledPicture& Kept() {
    static ResampledPicture picture;
    return picture;
}

bool WantsResampling(int w, int h) {
    const Program& app = App();
    const ImageCanvas& canvas = app.canvas;
    const int32_t method = app.settings.thumbScaleType;
    return method >= 1 && method <= 6 && !app.playback.active && canvas.width() <= kLargestResampledSide &&
           canvas.height() <= kLargestResampledSide && (w != canvas.width() || h != canvas.height()) &&
           int64_t{w} * h <= kLargestTargetPixels;
}

// The canvas resampled to w x h, made again only when the size or the method
// changed since the last time.
const PixelBuffer* Resampled(int w, int h) {
    ResampledPicture& kept = Kept();
    const int32_t method = App().settings.thumbScaleType;
    if (kept.pixels && kept.pixels.width() == w && kept.pixels.height() == h && kept.method == method) {
        return &kept.pixels;
    }
    kept.pixels = PixelBuffer();
    const PixelBuffer source = App().canvas.CopyBits(32);
    PixelBuffer target = PixelBuffer::Allocate(w, h, 32);
    if (!source || !target || !Resample(static_cast<ScaleFilterId>(method), source, target, nullptr)) return nullptr;
    kept.pixels = std::move(target);
    kept.method = method;
    return &kept.pixels;
}

}  // namespace

bool DrawResampled(HDC dc, int x, int y, int w, int h) {
    if (!WantsResampling(w, h)) return false;
    const PixelBuffer* pixels = Resampled(w, h);
    if (!pixels) return false;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                      pixels->data(), &info, DIB_RGB_COLORS);
    return true;
}

void ForgetResampledPicture() { Kept().pixels = PixelBuffer(); }

}  // namespace marbleye::win32
