#include <vector>

#include "canvas/PixelLimits.h"
#include "formats/metafile/Metafile.h"
#include "formats/metafile/MetafileLayout.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr const char* kChecksumMismatch = "LPM: Placeable metafile checksum mismatch";
constexpr const char* kNoHeader = "Unable to load Metafile Header!";
constexpr const char* kInvalidSize = "Invalid Width/Height found!";
constexpr const char* kOutOfMemory = "Out of Memory!";

}  // namespace

Status ShowMetafile(std::span<const uint8_t> bytes, LoadContext& context) {
    const metafile::MetafileLayout layout = metafile::ExamineMetafile(bytes);
    if (!layout.status) return layout.status;
    // The box only informs: the picture is loaded all the same.
    if (layout.checksumMismatch) context.host.ReportError(kChecksumMismatch);
    if (!context.host.PlaysMetafiles()) return Status::Fail(kNoMetafilePlayer);
    const auto played = context.host.LoadMetafileThroughSystem(layout.metafile);
    if (!played) return Status::Fail(metafile::LoadFailureMessage(layout.metafile.kind));
    const auto bounds = played->HeaderBounds();
    if (!bounds) return Status::Fail(kNoHeader);
    // A metafile describes a picture of any size in a few bytes: the size
    // passes the pixel gate before the canvas is made.
    if (bounds->right <= 0 || bounds->bottom <= 0 || !CheckedLayout(bounds->right, bounds->bottom, 24)) {
        return Status::Fail(kInvalidSize);
    }
    CurrentImage& image = context.image;
    image.palette = Palette256{};
    if (!context.canvas.Create(bounds->right, bounds->bottom, 24, 0xFF, image.palette)) {
        return Status::Fail(kOutOfMemory);
    }
    if (!played->PlayInto(context.canvas)) return Status::Fail(metafile::LoadFailureMessage(layout.metafile.kind));
    image.width = bounds->right;
    image.height = bounds->bottom;
    image.fileBitDepth = 24;
    return Status::Ok();
}

Status ReadMetafile(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Unable to open file!");
    std::vector<uint8_t> bytes(file.size());
    if (!file.ReadExact(bytes.data(), bytes.size())) return Status::Fail("EMF: MapFileReadOnly failed");
    return ShowMetafile(bytes, context);
}

}  // namespace marbleye
