#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/SystemMetafile.h"

namespace marbleye {

class ImageCanvas;

// What became of an icon handed to the system.
enum class IconLoad {
    kNotOffered,  // this front end has no system icon loader: the core decodes the file
    kLoaded,      // the canvas holds the icon at 32 x 32, 24 bits, drawn on white
    kFailed,      // the system could not load the file as an icon
};

// What became of the first frame of a video asked of the system's video
// services.
enum class VideoFrameLoad {
    kNotOffered,  // this front end has no video services
    kLoaded,      // the canvas holds the first frame of the first video stream at 24 bits
    kCannotOpen,  // the services cannot open the file
    kNoFrame,     // the file has no video stream, or its first frame cannot be decoded
};

// What became of a file handed to the media window.
struct MediaOpening {
    enum class Result {
        kNotOffered,  // this front end has no media window
        kOpened,      // the media window plays the file
        kCannotOpen,  // the media services cannot play the file
        kNoWindow,    // the media window could not be made
    };
    Result result = Result::kNotOffered;
    int32_t width = 0, height = 0;  // the media window's size: the video (if any) and its play bar
};

// What only the front end can do, offered to the core. The Win32 program
// implements it with its window, progress bar and message boxes; the command
// line tool with stderr; tests with nothing at all.
class Host {
public:
    virtual ~Host() = default;

    // A long job (writing a file row by row, a batch) announces its number of
    // steps, advances one step at a time and ends.
    virtual void BeginProgress(int32_t steps) { (void)steps; }
    virtual void StepProgress() {}
    virtual void EndProgress() {}

    // Quiet loads let one pending user-interface message through per row.
    virtual void PumpOneMessage() {}

    // An information message (a writer's failure, for example).
    virtual void ReportError(const std::string& message) { (void)message; }

    // Bits per pixel of the screen: loaded pictures deeper than it are reduced.
    virtual int32_t DisplayDepth() const { return 32; }

    // The picture that replaces the canvas after a failed load is filled with
    // this byte and then gets the message drawn onto it.
    virtual uint8_t ErrorPictureFillByte() const { return 0xFF; }
    virtual void DrawErrorText(ImageCanvas& canvas, const std::string& text) { (void)canvas, (void)text; }

    // Loads an icon file the way the system does for a 32 x 32 icon and draws
    // it on a white 24-bit canvas of that size.
    virtual IconLoad LoadIconThroughSystem(const std::string& path, ImageCanvas& canvas) {
        (void)path, (void)canvas;
        return IconLoad::kNotOffered;
    }

    // Whether this front end plays metafiles through the system. The command
    // line tool and the tests have no metafile player.
    virtual bool PlaysMetafiles() const { return false; }
    // The metafile loaded by the system, or nothing when the system refuses it.
    virtual std::unique_ptr<SystemMetafile> LoadMetafileThroughSystem(const MetafileBytes& metafile) {
        (void)metafile;
        return nullptr;
    }

    // Decodes the first frame of a video's first video stream into a 24-bit
    // canvas.
    virtual VideoFrameLoad LoadFirstVideoFrame(const std::string& path, ImageCanvas& canvas) {
        (void)path, (void)canvas;
        return VideoFrameLoad::kNotOffered;
    }

    // Opens a video or sound file in the media window, which plays it.
    virtual MediaOpening OpenMediaWindow(const std::string& path) {
        (void)path;
        return MediaOpening{};
    }
};

// Begins a progress display for a job and ends it however the job ends.
class ProgressScope {
public:
    ProgressScope(Host& host, int32_t steps) : host_(host) { host_.BeginProgress(steps); }
    ~ProgressScope() { host_.EndProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    void Step() { host_.StepProgress(); }

private:
    Host& host_;
};

// A host that does nothing; for tests and for callers that need no feedback.
Host& QuietHost();

}  // namespace marbleye
