#pragma once

#include <cstdint>
#include <string>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "imaging/ColourReduction.h"

namespace marbleye {

// Why a picture is being loaded; readers take shortcuts for the jobs that only
// need a small or first-frame picture.
struct LoadOptions {
    bool quiet = false;      // the thumbnail maker loads only to scale: no after-load steps
    bool thumbnail = false;  // a small picture is enough (reduced-scale decoding)
    bool batch = false;      // the batch converter is running
    bool catalog = false;    // the catalog creator is running
    int32_t thumbnailWidth = 80;
    int32_t thumbnailHeight = 80;
    int32_t photoCdSize = 2;  // "PCDLoadSize": 0 is 192 x 128, 1 is 384 x 256, 2 is 768 x 512
    DisplayReduction displayReduction;  // for screens of fewer bits than the picture
    // The colour profile MNG and JNG pictures are shown through (the
    // program's "sRGB.icm"); when set, the file must be there. Empty: the MNG
    // library's own sRGB profile.
    std::string mngOutputProfile;
};

// Everything a reader works on: the canvas it fills, the current-image
// variables it sets, why it is called and the front end.
struct LoadContext {
    ImageCanvas& canvas;
    CurrentImage& image;
    const LoadOptions& options;
    Host& host;

    // Called by readers after each decoded row.
    void RowDone() const {
        if (options.quiet) host.PumpOneMessage();
    }
};

// A reader fills the canvas and the current-image variables, or returns its
// own message; what it left in the canvas after a failure is discarded.
using ReaderFunction = Status (*)(const std::string& path, LoadContext& context);

}  // namespace marbleye
