#include "formats/gif/GifWalker.h"

#include <cassert>
#include <cstring>

#include "canvas/DeclaredSize.h"
#include "formats/gif/GifFormat.h"
#include "io/ByteReader.h"

namespace marbleye::gif {

namespace {

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

// Hands decoded lines to their rows, with the four passes of interlaced frames.
class LineWriter {
public:
    explicit LineWriter(Frame& frame) : frame_(frame), pass_(frame.interlaced ? 0 : -1) {}

    bool Write(const uint8_t* line, size_t count) {
        assert(count <= static_cast<size_t>(frame_.width));
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

}  // namespace

Status GifWalker::ReadScreen() {
    uint8_t bytes[13];
    ByteReader header(bytes, file_.Read(bytes, sizeof bytes));
    const bool signature = std::memcmp(bytes, "GIF", 3) == 0 &&
                           (std::memcmp(bytes + 3, "89a", 3) == 0 || std::memcmp(bytes + 3, "87a", 3) == 0);
    // The screen size is not used: cells take the size of the frames.
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
    assert(entries >= 2 && entries <= 256);
    if (!file_.ReadExact(palette.data(), static_cast<size_t>(entries) * 3)) return false;
    lastTableEntries_ = entries;
    return true;
}

// The frame's own table, or the global one, or the default palette; entries
// past the table take the background index as their grey level.
bool GifWalker::ReadFramePalette(uint8_t packed, Palette256& palette) {
    palette.fill(0xFF);
    int entries = globalEntries_;
    if (packed & 0x80) {
        entries = 2 << (packed & 7);
        if (!ReadColourTable(entries, palette)) return false;
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

// Where the frame's image data starts, the file's position now.
void GifWalker::NoteDataStart(Frame& frame) {
    const uint64_t start = file_.Tell();
    if (!pictureDataStart_) pictureDataStart_ = start;
    frame.dataBytes = file_.size() - start;
    frame.pictureDataBytes = file_.size() - *pictureDataStart_;
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
    if (!ReadFramePalette(packed, palette)) return Status::Fail(std::string(kUnexpectedEnd));
    NoteDataStart(frame);

    const bool first = !handler_.HasFrames();
    if (Status status = handler_.CheckSize(frame, first, stop); !status || stop) return status;
    const uint64_t pixels = static_cast<uint64_t>(frame.width) * frame.height;
    if (!FileCanHold(pixels, frame.dataBytes, expansion::kLzwPixels)) {
        stop = true;
        return Status::Ok();
    }
    frame.indices.assign(pixels, background_ >= 0 ? static_cast<uint8_t>(background_) : 0);
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

}  // namespace marbleye::gif
