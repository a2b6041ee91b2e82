#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

struct MngSession;

// What a playing MNG animation asks of the front end.
class MngPlayerHost {
public:
    virtual ~MngPlayerHost() = default;
    // MngPlayer::ShowNextFrame is due after this many milliseconds.
    virtual void SetTimer(uint32_t milliseconds) = 0;
    // The canvas holds a new frame.
    virtual void Refresh() = 0;
};

// An MNG, JNG or PNG stream shown through the MNG library onto the canvas,
// which it creates at the stream's size: 24 bits, or 32 (blue, green, red,
// alpha) when the stream has transparency. The stream is read without its
// LOOP, ENDL and TERM chunks (see MngStream): a player plays it through once
// and starts it again when its TERM chunk asks for that.
class MngPlayer {
public:
    MngPlayer();
    ~MngPlayer();
    MngPlayer(const MngPlayer&) = delete;
    MngPlayer& operator=(const MngPlayer&) = delete;

    // The reader's way: shows the first frame in context.canvas, sets the
    // size and depth in context.image and stops reading.
    Status ShowFirstFrame(const std::string& path, LoadContext& context);

    // Starts playing onto the canvas: the first frame now, each next one
    // when the host's timer has run out.
    Status Play(const std::string& path, const std::string& outputProfile, ImageCanvas& canvas, MngPlayerHost& host);
    // The host's timer ran out: the next frame (after the last, the first
    // again when the stream repeats). False when playing has ended: after
    // the last frame of a stream that does not repeat, or on a failure.
    bool ShowNextFrame();

private:
    std::unique_ptr<MngSession> session_;
};

}  // namespace marbleye
