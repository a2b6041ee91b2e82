#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/gif/Gif.h"
#include "formats/gif/GifFormat.h"
#include "formats/gif/GifFrameStrip.h"
#include "formats/gif/GifWalker.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

using namespace gif;

// A byte of LZW data stands for up to kLzwPixels pixels of three bytes each
// in the strip.
constexpr uint64_t kStripExpansion = expansion::kLzwPixels * 3;

// The depth a colour table of this many entries stands for.
int32_t DepthOfTable(int entries) {
    if (entries <= 0) return 8;
    if (entries <= 2) return 1;
    if (entries <= 4) return 2;
    if (entries <= 64) return 4;
    if (entries <= 128) return 6;
    return 8;
}

// The viewer's frames: a 24-bit strip with the disposal and transparency
// rules. The strip never grows past what the file's picture data can
// describe: the frame that would make it larger ends the reading.
class ViewerFrames final : public FrameHandler {
public:
    explicit ViewerFrames(LoadContext& context) : context_(context) {}

    Status CheckSize(const Frame& frame, bool first, bool& stop) override {
        if (frame.width == 0 || frame.height == 0) {
            if (first) return Status::Fail(std::string(kInvalidSize));
            stop = true;
        } else if (first && (frame.width > kMaxFirstFrameSide || frame.height > kMaxFirstFrameSide)) {
            return Status::Fail(std::string(kTooBig));
        } else if (!first && (frame.width > kMaxLaterFrameSide || frame.height > kMaxLaterFrameSide)) {
            stop = true;
        } else if (!CheckedLayout(frame.width, frame.height, 8)) {
            if (first) return Status::Fail(std::string(kNoFrameMemory));
            stop = true;
        } else if (!FileCanHold(strip_.BytesWith(frame.width, frame.height), frame.pictureDataBytes,
                                kStripExpansion)) {
            stop = true;
        }
        return Status::Ok();
    }

    Status Take(const Frame& frame, const Palette256& palette, int32_t backgroundIndex, const FrameControl& control,
                LzwEnd end, bool& stop) override {
        static constexpr uint8_t kWhite[3] = {255, 255, 255};
        const uint8_t* background = backgroundIndex >= 0 ? palette.data() + backgroundIndex * 3 : kWhite;
        if (strip_.cells() == 0) {
            if (!strip_.Start(frame.width, frame.height, background)) return Status::Fail(std::string(kNoFirstStrip));
            strip_.Draw(frame, 0, 0, palette, control.transparent);
        } else {
            if (const auto failure = strip_.Grow(frame.width, frame.height, background)) {
                return Status::Fail(std::string(*failure));
            }
            if (!strip_.AddCell(control.disposal != kRestoreBackground, background)) return Status::Fail(std::string(kNoGrowCopy));
            strip_.Draw(frame, frame.left, frame.top, palette, control.transparent);
        }
        delays_.push_back(control.delay);
        lastPalette_ = palette;
        context_.RowDone();
        const LoadOptions& options = context_.options;
        if (end == LzwEnd::kReadFailure || options.batch || options.catalog || options.thumbnail ||
            (strip_.cells() >= 2 && strip_.bytes() >= kMaxStripBytes)) {
            stop = true;
        }
        return Status::Ok();
    }

    bool HasFrames() const override { return strip_.cells() > 0; }

    Status Finish(int lastTableEntries) {
        CurrentImage& image = context_.image;
        image.width = strip_.cellWidth();
        image.height = strip_.cellHeight();
        image.fileBitDepth = DepthOfTable(lastTableEntries);
        image.palette = lastPalette_;
        if (!context_.canvas.CreateFromBits(strip_.cellWidth(), strip_.cellHeight() * strip_.cells(), 24, strip_.data(),
                                            image.palette)) {
            return Status::Fail(std::string(kNoFirstStrip));
        }
        if (strip_.cells() >= 2) {
            image.animation.frameCount = strip_.cells();
            image.animation.cellHeight = strip_.cellHeight();
            image.animation.delays.assign(delays_.rbegin(), delays_.rend());
        }
        return Status::Ok();
    }

private:
    LoadContext& context_;
    FrameStripBuilder strip_;
    std::vector<int32_t> delays_;
    Palette256 lastPalette_{};
};

}  // namespace

Status ReadGif(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kCouldNotOpen));
    ViewerFrames frames(context);
    GifWalker walker(file, frames, kNotGif);
    if (Status status = walker.Run(); !status) return status;
    return frames.Finish(walker.lastTableEntries());
}

}  // namespace marbleye
