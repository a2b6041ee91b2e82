#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "canvas/CurrentImage.h"
#include "io/InputFile.h"

namespace marbleye {

// What a stream's TERM chunk asks for after its last frame, with the delay
// in milliseconds.
struct MngTermination {
    bool repeat = false;  // action 3; otherwise the last frame stays
    uint32_t delayMilliseconds = 0;
    uint32_t iterations = 0;
};

// An MNG, JNG or PNG file as the MNG library gets to read it: the chunks
// that make a stream go back and repeat itself (LOOP, ENDL and TERM) are
// left out, so the library works through the file once and no loop a file
// declares, however long or empty, can keep it busy; what TERM asks for is
// kept for the player. Everything else is passed on as it stands, a file
// cut short included. For the reader the stream can end after its first
// frame.
class MngStream {
public:
    bool Open(const std::string& path, bool firstFrameOnly);
    // Up to `count` bytes of the stream; fewer only at its end.
    size_t Read(uint8_t* target, size_t count);
    uint64_t fileSize() const { return file_.size(); }
    // Whether the stream was ended after its first frame.
    bool endedAfterFirstFrame() const { return endedAfterFirstFrame_; }
    const MngTermination& termination() const { return termination_; }

private:
    // Reads the next chunk's length and name, skipping the left-out chunks
    // and ending the stream after the first frame when asked to.
    void StartNextChunk();
    void ReadTermination(uint64_t length);
    bool FirstFrameComplete(uint64_t length);

    InputFile file_;
    uint8_t header_[8] = {};
    size_t headerSize_ = 0;  // bytes of header_ to pass on, from headerUsed_
    size_t headerUsed_ = 0;
    uint64_t passing_ = 0;   // bytes of the current chunk still to pass on from the file
    bool signaturePassed_ = false;
    bool ended_ = false;
    bool firstFrameOnly_ = false;
    bool endedAfterFirstFrame_ = false;
    // The framing of the chunks passed on so far.
    int framingMode_ = 1;
    bool subframeHasImage_ = false;
    bool imageEnded_ = false;
    uint32_t ticksPerSecond_ = 0;
    MngTermination termination_;
};

// The frames and layers of the stream in a file, counted from its chunks
// (LOOPs not repeated): under framing modes 1 and 3 every image is a frame,
// under 2 and 4 every subframe holding an image; an MNG has a layer for each
// image and one for the background. A PNG or JNG file is one frame and one
// layer; a file that is neither counts nothing.
MngCounts CountFramesAndLayers(const std::string& path);

}  // namespace marbleye
