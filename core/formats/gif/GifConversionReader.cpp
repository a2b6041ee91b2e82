#include <algorithm>
#include <cassert>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/gif/Gif.h"
#include "formats/gif/GifFormat.h"
#include "formats/gif/GifWalker.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

using namespace gif;

// The frames for MNG conversion: 8-bit cells the size of the first frame,
// each starting from the one before unless the frame restores the background,
// as the viewer composes them.
// The cells never grow past what the file's picture data can describe: the
// frame that would make them larger ends the reading.
class ConversionFrames final : public FrameHandler {
public:
    explicit ConversionFrames(GifFrames& result) : result_(result) {}

    Status CheckSize(const Frame& frame, bool first, bool& stop) override {
        if (frame.width == 0 || frame.height == 0 || frame.width > kMaxFirstFrameSide ||
            frame.height > kMaxFirstFrameSide) {
            stop = true;
            return Status::Ok();
        }
        const uint64_t cellBytes = first ? static_cast<uint64_t>(frame.width) * frame.height : CellBytes();
        const uint64_t cellsBytes = cellBytes * static_cast<uint64_t>(result_.frameCount + 1);
        if (!FileCanHold(cellsBytes, frame.pictureDataBytes, expansion::kLzwPixels)) stop = true;
        return Status::Ok();
    }

    Status Take(const Frame& frame, const Palette256& palette, int32_t backgroundIndex, const FrameControl& control,
                LzwEnd end, bool& stop) override {
        // A frame whose data breaks off or overflows still shows what it
        // decoded, as it does in the viewer; nothing after it is read.
        if (end != LzwEnd::kEndCode) stop = true;
        const uint8_t fill = backgroundIndex >= 0 ? static_cast<uint8_t>(backgroundIndex) : 255;
        if (result_.frameCount == 0) {
            result_.width = frame.width, result_.height = frame.height;
            result_.palette = palette;
        }
        const size_t cellBytes = CellBytes();
        if (result_.frameCount == 0 && !CheckedLayout(result_.width, result_.height, 8)) {
            return Status::Fail("Out of memory!");
        }
        result_.indices.resize(cellBytes * (result_.frameCount + 1), fill);
        uint8_t* const cell = result_.indices.data() + cellBytes * result_.frameCount;
        if (result_.frameCount > 0 && control.disposal != kRestoreBackground) {
            std::copy_n(cell - cellBytes, cellBytes, cell);
        }
        DrawCell(frame, cell);
        result_.delays.push_back(control.delay);
        result_.disposals.push_back(static_cast<uint8_t>(control.disposal));
        result_.transparents.push_back(control.transparent);
        ++result_.frameCount;
        return Status::Ok();
    }

    bool HasFrames() const override { return result_.frameCount > 0; }

    // Last frame first, as the strip turned upside down holds them.
    void Finish() {
        const size_t cellBytes = CellBytes();
        assert(result_.indices.size() == cellBytes * result_.frameCount);
        std::vector<uint8_t> reversed;
        reversed.reserve(result_.indices.size());
        for (int32_t k = result_.frameCount - 1; k >= 0; --k) {
            reversed.insert(reversed.end(), result_.indices.begin() + static_cast<std::ptrdiff_t>(cellBytes * k),
                            result_.indices.begin() + static_cast<std::ptrdiff_t>(cellBytes * (k + 1)));
        }
        result_.indices = std::move(reversed);
        std::reverse(result_.delays.begin(), result_.delays.end());
        std::reverse(result_.disposals.begin(), result_.disposals.end());
        std::reverse(result_.transparents.begin(), result_.transparents.end());
    }

private:
    size_t CellBytes() const { return static_cast<size_t>(result_.width) * result_.height; }

    // Copies every index of the frame into its cell, top row first, the order
    // the result keeps. The first frame and frames larger than the cell sit
    // at (0, 0), cut to the cell.
    void DrawCell(const Frame& frame, uint8_t* cell) const {
        const bool larger = frame.width > result_.width || frame.height > result_.height;
        const int32_t left = larger || result_.frameCount == 0 ? 0 : frame.left;
        const int32_t top = larger || result_.frameCount == 0 ? 0 : frame.top;
        for (int32_t y = 0; y < frame.height && top + y < result_.height; ++y) {
            for (int32_t x = 0; x < frame.width && left + x < result_.width; ++x) {
                cell[static_cast<size_t>(top + y) * result_.width + left + x] =
                    frame.indices[static_cast<size_t>(y) * frame.width + x];
            }
        }
    }

    GifFrames& result_;
};

}  // namespace

GifFrames LoadGifFramesForConversion(const std::string& path) {
    GifFrames result;
    InputFile file;
    if (!file.Open(path)) {
        result.status = Status::Fail(std::string(kCouldNotOpen));
        return result;
    }
    ConversionFrames frames(result);
    GifWalker walker(file, frames, kNotGifForConversion);
    result.status = walker.Run();
    if (result.status) frames.Finish();
    return result;
}

}  // namespace marbleye
