#include "win32/platform/SystemIcon.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace marbleye::win32 {

namespace {

constexpr int kSide = 32;

// A white 32 x 32, 24-bit section with its own device context.
class WhiteSection {
public:
    WhiteSection() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kSide;
        info.bmiHeader.biHeight = kSide;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        if (!dc_) return;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (!bitmap_ || !bits_) return;
        previous_ = SelectObject(dc_, bitmap_);
        std::memset(bits_, 0xFF, kStride * kSide);
    }
    ~WhiteSection() {
        if (previous_) SelectObject(dc_, previous_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    WhiteSection(const WhiteSection&) = delete;
    WhiteSection& operator=(const WhiteSection&) = delete;

    static constexpr int kStride = (kSide * 3 + 3) / 4 * 4;
    bool valid() const { return previous_ != nullptr; }
    HDC dc() const { return dc_; }
    const uint8_t* bits() const { return static_cast<const uint8_t*>(bits_); }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace

IconLoad LoadSystemIcon(const std::string& path, ImageCanvas& canvas) {
    HICON icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, kSide, kSide, LR_LOADFROMFILE));
    if (!icon) return IconLoad::kFailed;
    WhiteSection section;
    const bool drawn = section.valid() && DrawIconEx(section.dc(), 0, 0, icon, kSide, kSide, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    if (!drawn) return IconLoad::kFailed;
    GdiFlush();
    // The section and the canvas are both bottom-up rows padded to 4 bytes.
    if (!canvas.CreateFromBits(kSide, kSide, 24, section.bits(), Palette256{})) return IconLoad::kFailed;
    return IconLoad::kLoaded;
}

}  // namespace marbleye::win32
