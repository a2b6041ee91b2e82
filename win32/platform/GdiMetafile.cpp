#include "win32/platform/GdiMetafile.h"

#include "canvas/ImageCanvas.h"

namespace marbleye::win32 {

namespace {

class GdiMetafile final : public SystemMetafile {
public:
    GdiMetafile(HENHMETAFILE handle, CanvasDcSource canvasDc) : handle_(handle), canvasDc_(canvasDc) {}
    ~GdiMetafile() override { DeleteEnhMetaFile(handle_); }
    GdiMetafile(const GdiMetafile&) = delete;
    GdiMetafile& operator=(const GdiMetafile&) = delete;

    std::optional<MetafileBounds> HeaderBounds() override {
        if (!ReadHeader()) return std::nullopt;
        return MetafileBounds{static_cast<int32_t>(header_.rclBounds.right),
                              static_cast<int32_t>(header_.rclBounds.bottom)};
    }

    bool PlayInto(ImageCanvas& canvas) override {
        const HDC dc = canvasDc_();
        if (!dc || !ReadHeader()) return false;
        const RECT area = PlaybackArea(canvas);
        const bool played = PlayEnhMetaFile(dc, handle_, &area) != FALSE;
        GdiFlush();
        return played;
    }

private:
    bool ReadHeader() {
        header_ = ENHMETAHEADER{};
        return GetEnhMetaFileHeader(handle_, sizeof header_, &header_) != 0;
    }

    // The frame (0.01 mm) in pixels of the reference device: the picture at
    // its own scale, where its bounds say it is. Stretching the frame over
    // the canvas instead would squeeze every picture whose bounds are not its
    // frame. Without a usable frame, the whole canvas.
    RECT PlaybackArea(const ImageCanvas& canvas) const {
        const SIZEL& pixels = header_.szlDevice;
        const SIZEL& millimetres = header_.szlMillimeters;
        const RECTL& frame = header_.rclFrame;
        if (millimetres.cx > 0 && millimetres.cy > 0) {
            // MulDiv keeps the product in 64 bits.
            const RECT area{MulDiv(frame.left, pixels.cx, millimetres.cx) / 100,
                            MulDiv(frame.top, pixels.cy, millimetres.cy) / 100,
                            MulDiv(frame.right, pixels.cx, millimetres.cx) / 100,
                            MulDiv(frame.bottom, pixels.cy, millimetres.cy) / 100};
            if (area.right > area.left && area.bottom > area.top) return area;
        }
        return RECT{0, 0, canvas.width(), canvas.height()};
    }

    HENHMETAFILE handle_;
    CanvasDcSource canvasDc_;
    ENHMETAHEADER header_{};
};

HENHMETAFILE Load(const MetafileBytes& metafile) {
    const UINT size = static_cast<UINT>(metafile.size);
    switch (metafile.kind) {
        case MetafileKind::kEnhanced:
            return SetEnhMetaFileBits(size, metafile.data);
        case MetafileKind::kPlaceable: {
            METAFILEPICT picture{MM_ANISOTROPIC, static_cast<LONG>(metafile.xExtent),
                                 static_cast<LONG>(metafile.yExtent), nullptr};
            return SetWinMetaFileBits(size, metafile.data, nullptr, &picture);
        }
        case MetafileKind::kWindows:
            break;
    }
    return SetWinMetaFileBits(size, metafile.data, nullptr, nullptr);
}

}  // namespace

std::unique_ptr<SystemMetafile> LoadGdiMetafile(const MetafileBytes& metafile, CanvasDcSource canvasDc) {
    const HENHMETAFILE handle = Load(metafile);
    if (!handle) return nullptr;
    return std::make_unique<GdiMetafile>(handle, canvasDc);
}

}  // namespace marbleye::win32
