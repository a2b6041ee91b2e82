#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "canvas/Palette.h"
#include "common/Status.h"
#include "formats/gif/GifLzw.h"
#include "io/InputFile.h"

namespace marbleye::gif {

// The graphic control extension that applies to the next frame.
struct FrameControl {
    int32_t delay = 10;
    int32_t transparent = -1;
    int32_t disposal = 0;
};

struct Frame {
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    // What the file holds from this frame's image data on, and from the
    // first frame's: the most any decoded pixels can come from.
    uint64_t dataBytes = 0;
    uint64_t pictureDataBytes = 0;
    std::vector<uint8_t> indices;  // top row first
};

// What a reader does with each frame the walker finds.
class FrameHandler {
public:
    virtual ~FrameHandler() = default;
    // The frame's size is checked before anything is allocated for it: ok,
    // stop (keep what was read), or a message that ends the load.
    virtual Status CheckSize(const Frame& frame, bool first, bool& stop) = 0;
    // A decoded frame; stop ends the reading after it.
    virtual Status Take(const Frame& frame, const Palette256& palette, int32_t background, const FrameControl& control,
                        LzwEnd end, bool& stop) = 0;
    virtual bool HasFrames() const = 0;
};

// Walks the blocks of a GIF file (screen, colour tables, extensions,
// frames), decodes each frame the handler accepts and hands it over. A frame
// whose pixels the rest of the file cannot hold ends the reading before its
// buffer is allocated; a file without any frame gives the message for an
// unexpected end.
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
    bool ReadFramePalette(uint8_t packed, Palette256& palette);
    void NoteDataStart(Frame& frame);
    void SkipSubBlocks();

    InputFile& file_;
    FrameHandler& handler_;
    std::string_view notGif_;
    Palette256 global_{};
    int globalEntries_ = 0;
    int lastTableEntries_ = 0;
    int32_t background_ = -1;
    FrameControl control_;
    std::optional<uint64_t> pictureDataStart_;  // where the first frame's data starts
};

}  // namespace marbleye::gif
