#include "formats/LoadImage.h"

#include <chrono>

#include "common/PathText.h"
#include "formats/FormatTable.h"

namespace marbleye {

namespace {

constexpr int32_t kErrorPictureWidth = 500;
constexpr int32_t kErrorPictureHeight = 200;
constexpr size_t kMaxErrorTextLength = 1023;

uint32_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

Status RunReader(const std::string& path, LoadContext& context) {
    const FormatEntry* format = FindFormat(path);
    if (!format) {
        return Status::Fail(std::string(kUnknownFormatMessage));
    }
    if (!format->reader) {
        return Status::Fail("No reader for " + std::string(format->name) + " files in this version.");
    }
    return format->reader(path, context);
}

}  // namespace

std::string ReportFileError(LoadContext& context, std::string_view path, std::string_view message) {
    std::string text(FileNameOf(path));
    text += ": ";
    text += message;
    if (text.size() > kMaxErrorTextLength) text.resize(kMaxErrorTextLength);

    context.image.palette.fill(0);
    context.image.fileBitDepth = -1;
    context.image.width = kErrorPictureWidth;
    context.image.height = kErrorPictureHeight;
    if (context.canvas.Create(kErrorPictureWidth, kErrorPictureHeight, 24, context.host.ErrorPictureFillByte(),
                              context.image.palette)) {
        context.host.DrawErrorText(context.canvas, text);
        AdaptToDisplayDepth(context.canvas, context.image, 24, context.host.DisplayDepth(),
                            context.options.displayReduction, &context.host);
    }
    return text;
}

LoadResult LoadImageFile(const std::string& path, LoadContext& context) {
    const auto start = std::chrono::steady_clock::now();
    context.image.loadingPath = path;
    context.image.animation = FrameStrip();
    context.image.mngCounts = MngCounts();
    context.image.formatId = FindFormatId(path);

    LoadResult result{RunReader(path, context), std::string(), 0};
    if (result.status) {
        AdaptToDisplayDepth(context.canvas, context.image, context.image.fileBitDepth, context.host.DisplayDepth(),
                            context.options.displayReduction, &context.host);
    } else {
        result.errorText = ReportFileError(context, path, result.status.message());
    }

    result.loadTimeMs = MillisecondsSince(start);
    context.image.loadTimeMs = result.loadTimeMs;
    if (!context.options.quiet) context.image.path = path;
    return result;
}

}  // namespace marbleye
