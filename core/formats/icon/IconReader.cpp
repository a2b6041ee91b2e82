#include <cstring>

#include "formats/icon/Icon.h"
#include "formats/icon/IconDecoder.h"
#include "formats/icon/IconDirectory.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr const char* kLoadFailed = "Couldn't load Iconfile!";
// The file's stored depth as the program reports it for every icon.
constexpr int32_t kReportedDepth = 4;

// The core's own decoder: the image the system would pick for 32 x 32 at the
// display's depth, drawn as the system draws it.
bool DrawIconFile(const std::string& path, LoadContext& context, uint8_t* bgr) {
    InputFile file;
    if (!file.Open(path)) return false;
    const auto candidates = icon::ReadIconDirectory(file);
    if (!candidates) return false;
    const int32_t chosen =
        icon::PickIconEntry(*candidates, icon::kIconSide, icon::kIconSide, context.host.DisplayDepth());
    if (chosen < 0) return false;
    const icon::IconCandidate& entry = (*candidates)[static_cast<size_t>(chosen)];
    return entry.png ? icon::DrawPngImage(file, entry, context, bgr)
                     : icon::DrawBitmapImage(file, entry, context, bgr);
}

}  // namespace

Status ReadIcon(const std::string& path, LoadContext& context) {
    CurrentImage& image = context.image;
    image.palette = Palette256{};
    switch (context.host.LoadIconThroughSystem(path, context.canvas)) {
        case IconLoad::kLoaded:
            break;
        case IconLoad::kFailed:
            return Status::Fail(kLoadFailed);
        case IconLoad::kNotOffered: {
            uint8_t bgr[icon::kIconPixels * 3];
            if (!DrawIconFile(path, context, bgr)) return Status::Fail(kLoadFailed);
            if (!context.canvas.Create(icon::kIconSide, icon::kIconSide, 24, 0xFF, image.palette)) {
                return Status::Fail(kLoadFailed);
            }
            const size_t rowBytes = icon::kIconSide * 3;
            for (int32_t y = 0; y < icon::kIconSide; ++y) {
                std::memcpy(context.canvas.Row(icon::kIconSide - 1 - y), bgr + y * rowBytes, rowBytes);
            }
            break;
        }
    }
    image.width = icon::kIconSide;
    image.height = icon::kIconSide;
    image.fileBitDepth = kReportedDepth;
    return Status::Ok();
}

}  // namespace marbleye
