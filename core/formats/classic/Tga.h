#pragma once

#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Truevision Targa: image types 1, 2, 3 and their run-length forms 9, 10, 11.
Status ReadTga(const std::string& path, LoadContext& context);

struct TgaWriteOptions {
    bool runLength = true;  // TGAEncode
    bool topDown = true;    // TGABottomUp (1 writes the top row first, descriptor 0x20)
};
Status WriteTga(const std::string& path, const ImageCanvas& canvas, const TgaWriteOptions& options, Host& host);

}  // namespace marbleye
