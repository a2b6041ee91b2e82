#include "formats/media/Media.h"

namespace marbleye {

namespace {

constexpr const char* kCannotOpen = "Unable to open file!";
constexpr const char* kUnknownError = "Unkown Loaderror occured!";
constexpr int32_t kFrameDepth = 24;

Status NeedsProgram() { return Status::Fail(std::string(kMediaNeedsProgramMessage)); }

void RecordPicture(LoadContext& context) {
    CurrentImage& image = context.image;
    image.width = context.canvas.width();
    image.height = context.canvas.height();
    image.fileBitDepth = kFrameDepth;
}

// The thumbnail maker and other quiet loads need a still picture only.
Status ReadFirstFrame(const std::string& path, LoadContext& context) {
    switch (context.host.LoadFirstVideoFrame(path, context.canvas)) {
        case VideoFrameLoad::kNotOffered: return NeedsProgram();
        case VideoFrameLoad::kCannotOpen: return Status::Fail(kCannotOpen);
        case VideoFrameLoad::kNoFrame: return Status::Fail(kUnknownError);
        case VideoFrameLoad::kLoaded: break;
    }
    RecordPicture(context);
    return Status::Ok();
}

Status PlayInMediaWindow(const std::string& path, LoadContext& context) {
    const VideoFrameLoad frame = context.host.LoadFirstVideoFrame(path, context.canvas);
    if (frame == VideoFrameLoad::kNotOffered) return NeedsProgram();
    const MediaOpening opening = context.host.OpenMediaWindow(path);
    switch (opening.result) {
        case MediaOpening::Result::kNotOffered: return NeedsProgram();
        case MediaOpening::Result::kCannotOpen: return Status::Fail(kCannotOpen);
        case MediaOpening::Result::kNoWindow: return Status::Fail(kUnknownError);
        case MediaOpening::Result::kOpened: break;
    }
    if (frame != VideoFrameLoad::kLoaded &&
        !context.canvas.Create(opening.width, opening.height, kFrameDepth, 0, context.image.palette)) {
        return Status::Fail(kUnknownError);
    }
    RecordPicture(context);
    return Status::Ok();
}

}  // namespace

Status ReadMedia(const std::string& path, LoadContext& context) {
    context.image.palette = Palette256{};
    if (context.options.quiet || context.options.thumbnail || context.options.batch || context.options.catalog) {
        return ReadFirstFrame(path, context);
    }
    return PlayInMediaWindow(path, context);
}

}  // namespace marbleye
