#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "formats/gif/Gif.h"
#include "formats/gif/GifFormat.h"
#include "formats/gif/GifLzw.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

using namespace gif;

// The palette of a file without any colour table.
Palette256 GifDefaultPalette() {
    static constexpr int kBits[8] = {0, 7, 1, 2, 4, 3, 5, 6};
    Palette256 palette{};
    for (int i = 0; i < 256; ++i) {
        const int bits = kBits[i & 7];
        const int level = i < 248 ? ((255 - i) & 0xF8) : 4;
        palette[i * 3] = static_cast<uint8_t>((bits & 1) ? level : 0);
        palette[i * 3 + 1] = static_cast<uint8_t>((bits & 2) ? level : 0);
        palette[i * 3 + 2] = static_cast<uint8_t>((bits & 4) ? level : 0);
    }
    return palette;
}

// The depth a colour table of this many entries stands for.
int32_t DepthOfTable(int entries) {
    if (entries <= 0) return 8;
    if (entries <= 2) return 1;
    if (entries <= 4) return 2;
    if (entries <= 64) return 4;
    if (entries <= 128) return 6;
    return 8;
}

struct FrameControl {
    int32_t delay = 10;
    int32_t transparent = -1;
    int32_t disposal = 0;
};

struct Frame {
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<uint8_t> indices;  // top row first
};

// Frames composed into equal cells stacked from the bottom of the picture up;
// each cell's rows are bottom-up like the canvas. Cells are appended to one
// growing buffer, so adding a frame does not copy the strip each time.
class FrameStripBuilder {
public:
    int32_t cellWidth() const { return cellWidth_; }
    int32_t cellHeight() const { return cellHeight_; }
    int32_t cells() const { return cells_; }
    size_t bytes() const { return bytes_.size(); }
    const uint8_t* data() const { return bytes_.data(); }

    bool Start(int32_t width, int32_t height, const uint8_t* background) {
        cellWidth_ = width, cellHeight_ = height, cells_ = 0;
        stride_ = static_cast<size_t>(RowStride(width, 24));
        return AppendCell(false, background);
    }

    // Enlarges every cell to at least width x height; earlier frames stay at
    // the top-left of their cells.
    std::optional<std::string_view> Grow(int32_t width, int32_t height, const uint8_t* background) {
        if (width <= cellWidth_ && height <= cellHeight_) return std::nullopt;
        const int32_t newWidth = std::max(width, cellWidth_), newHeight = std::max(height, cellHeight_);
        if (!CheckedLayout(newWidth, static_cast<int64_t>(newHeight) * cells_, 24)) return kNoGrownStrip;
        std::vector<uint8_t> old;
        old.swap(bytes_);
        const int32_t oldHeight = cellHeight_;
        const size_t oldStride = stride_;
        const int32_t oldWidth = cellWidth_;
        cellWidth_ = newWidth, cellHeight_ = newHeight;
        stride_ = static_cast<size_t>(RowStride(newWidth, 24));
        bytes_.assign(stride_ * static_cast<size_t>(newHeight) * cells_, 0);
        for (int32_t cell = 0; cell < cells_; ++cell) {
            FillCell(cell, background);
            for (int32_t y = 0; y < oldHeight; ++y) {  // y from the top of the cell
                const size_t oldRow = static_cast<size_t>(cell) * oldHeight + oldHeight - 1 - y;
                std::memcpy(Row(cell, y), old.data() + oldRow * oldStride, static_cast<size_t>(oldWidth) * 3);
            }
        }
        return std::nullopt;
    }

    // One more cell: the background, or a copy of the last cell.
    bool AddCell(bool copyPrevious, const uint8_t* background) { return AppendCell(copyPrevious, background); }

    // Draws a frame into the last cell at (left, top); pixels outside the cell
    // and transparent ones are left alone.
    void Draw(const Frame& frame, int32_t left, int32_t top, const Palette256& palette, int32_t transparent) {
        const int32_t cell = cells_ - 1;
        for (int32_t y = 0; y < frame.height; ++y) {
            const int32_t cy = top + y;
            if (cy < 0 || cy >= cellHeight_) continue;
            uint8_t* row = Row(cell, cy);
            const uint8_t* source = frame.indices.data() + static_cast<size_t>(y) * frame.width;
            for (int32_t x = 0; x < frame.width; ++x) {
                const int32_t cx = left + x;
                if (cx < 0 || cx >= cellWidth_ || source[x] == transparent) continue;
                const uint8_t* colour = palette.data() + source[x] * 3;
                row[cx * 3] = colour[2], row[cx * 3 + 1] = colour[1], row[cx * 3 + 2] = colour[0];
            }
        }
    }

private:
    bool AppendCell(bool copyPrevious, const uint8_t* background) {
        if (!CheckedLayout(cellWidth_, static_cast<int64_t>(cellHeight_) * (cells_ + 1), 24)) return false;
        const size_t cellBytes = stride_ * static_cast<size_t>(cellHeight_);
        bytes_.resize(cellBytes * (cells_ + 1));
        ++cells_;
        if (copyPrevious && cells_ >= 2) {
            std::memcpy(bytes_.data() + cellBytes * (cells_ - 1), bytes_.data() + cellBytes * (cells_ - 2), cellBytes);
        } else {
            FillCell(cells_ - 1, background);
        }
        return true;
    }
    // Row y of a cell, counted from the cell's top.
    uint8_t* Row(int32_t cell, int32_t y) {
        return bytes_.data() + (static_cast<size_t>(cell) * cellHeight_ + cellHeight_ - 1 - y) * stride_;
    }
    void FillCell(int32_t cell, const uint8_t* background) {
        for (int32_t y = 0; y < cellHeight_; ++y) {
            uint8_t* row = Row(cell, y);
            for (int32_t x = 0; x < cellWidth_; ++x) {
                row[x * 3] = background[2], row[x * 3 + 1] = background[1], row[x * 3 + 2] = background[0];
            }
        }
    }

    std::vector<uint8_t> bytes_;
    size_t stride_ = 0;
    int32_t cellWidth_ = 0, cellHeight_ = 0, cells_ = 0;
};

// Hands decoded lines to their rows, with the four passes of interlaced frames.
class LineWriter {
public:
    LineWriter(Frame& frame) : frame_(frame), pass_(frame.interlaced ? 0 : -1) {}

    bool Write(const uint8_t* line, size_t count) {
        if (row_ < 0 || row_ >= frame_.height) return false;
        std::memcpy(frame_.indices.data() + static_cast<size_t>(row_) * frame_.width, line, count);
        Advance();
        return true;
    }

private:
    void Advance() {
        if (pass_ < 0) {
            ++row_;
            return;
        }
        static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= frame_.height && pass_ < 3) {
            ++pass_;
            row_ = kStart[pass_];
        }
    }

    Frame& frame_;
    int pass_;
    int32_t row_ = 0;
};

// What a reader does with each decoded frame.
class FrameHandler {
public:
    virtual ~FrameHandler() = default;
    // The frame's size is checked before decoding: ok, stop (keep what was
    // read), or a message that ends the load.
    virtual Status CheckSize(const Frame& frame, bool first, bool& stop) = 0;
    // A decoded frame; stop ends the reading after it.
    virtual Status Take(const Frame& frame, const Palette256& palette, int32_t background, const FrameControl& control,
                        LzwEnd end, bool& stop) = 0;
    virtual bool HasFrames() const = 0;
};

// Walks the blocks of a GIF file: screen, colour tables, extensions, frames.
class GifWalker {
public:
    GifWalker(InputFile& file, FrameHandler& handler, std::string_view notGif)
        : file_(file), handler_(handler), notGif_(notGif) {}

    Status Run();
    int lastTableEntries() const { return lastTableEntries_; }

private:
    Status ReadScreen();
    Status ReadExtension();
    Status ReadFrame(bool& stop);
    bool ReadColourTable(int entries, Palette256& palette);
    void SkipSubBlocks();

    InputFile& file_;
    FrameHandler& handler_;
    std::string_view notGif_;
    Palette256 global_{};
    int globalEntries_ = 0;
    int lastTableEntries_ = 0;
    int32_t background_ = -1;
    FrameControl control_;
};

Status GifWalker::ReadScreen() {
    uint8_t bytes[13];
    ByteReader header(bytes, file_.Read(bytes, sizeof bytes));
    const bool signature = std::memcmp(bytes, "GIF", 3) == 0 &&
                           (std::memcmp(bytes + 3, "89a", 3) == 0 || std::memcmp(bytes + 3, "87a", 3) == 0);
    header.Skip(10);
    const uint8_t packed = header.U8();
    const uint8_t backgroundIndex = header.U8();
    header.U8();
    if (header.failed() || !signature) return Status::Fail(std::string(notGif_));
    global_.fill(0xFF);
    if (packed & 0x80) {
        globalEntries_ = 2 << (packed & 7);
        if (!ReadColourTable(globalEntries_, global_)) return Status::Fail(std::string(kUnexpectedEnd));
        background_ = backgroundIndex;
    } else {
        global_ = GifDefaultPalette();
    }
    return Status::Ok();
}

// Reads a table of entries RGB triples into the start of palette.
bool GifWalker::ReadColourTable(int entries, Palette256& palette) {
    if (!file_.ReadExact(palette.data(), static_cast<size_t>(entries) * 3)) return false;
    lastTableEntries_ = entries;
    return true;
}

void GifWalker::SkipSubBlocks() {
    for (;;) {
        const int length = file_.ReadByte();
        if (length <= 0) return;
        if (!file_.Skip(static_cast<uint64_t>(length))) return;
    }
}

Status GifWalker::ReadExtension() {
    const int label = file_.ReadByte();
    if (label < 0) return Status::Fail(std::string(kUnexpectedEnd));
    if (label == 0xF9) {
        uint8_t bytes[5];
        ByteReader block(bytes, file_.Read(bytes, sizeof bytes));
        block.U8();  // block size
        const uint8_t packed = block.U8();
        const int32_t delay = block.U16LE();
        const uint8_t transparent = block.U8();
        if (block.failed()) return Status::Fail(std::string(kUnexpectedEnd));
        control_.delay = delay == 0 ? 10 : delay;
        control_.transparent = (packed & 1) ? transparent : -1;
        control_.disposal = (packed >> 2) & 7;
    }
    SkipSubBlocks();
    return Status::Ok();
}

Status GifWalker::ReadFrame(bool& stop) {
    uint8_t bytes[9];
    ByteReader descriptor(bytes, file_.Read(bytes, sizeof bytes));
    Frame frame;
    frame.left = descriptor.U16LE();
    frame.top = descriptor.U16LE();
    frame.width = descriptor.U16LE();
    frame.height = descriptor.U16LE();
    const uint8_t packed = descriptor.U8();
    if (descriptor.failed()) return Status::Fail(std::string(kUnexpectedEnd));
    frame.interlaced = (packed & 0x40) != 0;

    Palette256 palette;
    palette.fill(0xFF);
    int entries = globalEntries_;
    if (packed & 0x80) {
        entries = 2 << (packed & 7);
        if (!ReadColourTable(entries, palette)) return Status::Fail(std::string(kUnexpectedEnd));
    } else if (globalEntries_ > 0) {
        std::memcpy(palette.data(), global_.data(), static_cast<size_t>(globalEntries_) * 3);
    } else {
        palette = global_;  // the default palette
    }
    if (entries > 0 && entries < 256 && background_ >= 0) {
        for (int i = entries; i < 256; ++i) {
            palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = static_cast<uint8_t>(background_);
        }
    }

    const bool first = !handler_.HasFrames();
    if (Status status = handler_.CheckSize(frame, first, stop); !status || stop) return status;
    frame.indices.assign(static_cast<size_t>(frame.width) * frame.height,
                         background_ >= 0 ? static_cast<uint8_t>(background_) : 0);
    LineWriter lines(frame);
    const LzwEnd end = DecodeLzw(file_, frame.width, [&](const uint8_t* line, size_t count) {
        return lines.Write(line, count);
    });
    const Status taken = handler_.Take(frame, palette, background_, control_, end, stop);
    control_ = FrameControl();
    return taken;
}

Status GifWalker::Run() {
    if (Status status = ReadScreen(); !status) return status;
    for (;;) {
        const int block = file_.ReadByte();
        if (block < 0) {
            // A file that ends after whole frames (a missing trailer) still
            // shows them.
            if (handler_.HasFrames()) break;
            return Status::Fail(std::string(kUnexpectedEnd));
        }
        if (block == ';') break;
        if (block == '!') {
            if (Status status = ReadExtension(); !status) return status;
        } else if (block == ',') {
            bool stop = false;
            if (Status status = ReadFrame(stop); !status) return status;
            if (stop) break;
        }
    }
    if (!handler_.HasFrames()) return Status::Fail(std::string(kUnexpectedEnd));
    return Status::Ok();
}

// The viewer's frames: a 24-bit strip with the disposal and transparency rules.
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
            if (!strip_.AddCell(control.disposal != 2, background)) return Status::Fail(std::string(kNoGrowCopy));
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

// The frames for MNG conversion: 8-bit cells the size of the first frame.
class ConversionFrames final : public FrameHandler {
public:
    explicit ConversionFrames(GifFrames& result) : result_(result) {}

    Status CheckSize(const Frame& frame, bool, bool& stop) override {
        if (frame.width == 0 || frame.height == 0 || frame.width > kMaxFirstFrameSide ||
            frame.height > kMaxFirstFrameSide) {
            stop = true;
        }
        return Status::Ok();
    }

    Status Take(const Frame& frame, const Palette256& palette, int32_t backgroundIndex, const FrameControl& control,
                LzwEnd end, bool& stop) override {
        if (end != LzwEnd::kEndCode) {
            stop = true;
            if (end == LzwEnd::kReadFailure || end == LzwEnd::kLinesRefused) return Status::Ok();
        }
        const uint8_t fill = backgroundIndex >= 0 ? static_cast<uint8_t>(backgroundIndex) : 255;
        if (result_.frameCount == 0) {
            result_.width = frame.width, result_.height = frame.height;
            result_.palette = palette;
        }
        const size_t cellBytes = static_cast<size_t>(result_.width) * result_.height;
        if (result_.frameCount == 0 && !CheckedLayout(result_.width, result_.height, 8)) {
            return Status::Fail("Out of memory!");
        }
        result_.indices.resize(cellBytes * (result_.frameCount + 1), fill);
        uint8_t* cell = result_.indices.data() + cellBytes * result_.frameCount;
        const bool larger = frame.width > result_.width || frame.height > result_.height;
        const int32_t left = larger || result_.frameCount == 0 ? 0 : frame.left;
        const int32_t top = larger || result_.frameCount == 0 ? 0 : frame.top;
        // Cells are built top row first here, the order the result keeps.
        for (int32_t y = 0; y < frame.height && top + y < result_.height; ++y) {
            for (int32_t x = 0; x < frame.width && left + x < result_.width; ++x) {
                cell[static_cast<size_t>(top + y) * result_.width + left + x] =
                    frame.indices[static_cast<size_t>(y) * frame.width + x];
            }
        }
        result_.delays.push_back(control.delay);
        result_.disposals.push_back(static_cast<uint8_t>(control.disposal));
        result_.transparents.push_back(control.transparent);
        ++result_.frameCount;
        return Status::Ok();
    }

    bool HasFrames() const override { return result_.frameCount > 0; }

    // Last frame first, as the strip turned upside down holds them.
    void Finish() {
        const size_t cellBytes = static_cast<size_t>(result_.width) * result_.height;
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
    GifFrames& result_;
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
