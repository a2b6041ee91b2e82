#pragma once

#include <string>

#include "common/Status.h"
#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "formats/LoadContext.h"

namespace marbleye {

// DjVu pages and documents (the first page) and IW44 pictures, decoded by
// the DjVu library: bitonal pages into a 1-bit canvas, gray IW44 into 8-bit
// gray, everything else into 24 bits.
Status ReadDjvu(const std::string& path, LoadContext& context);

// Writes the canvas as a one-page DjVu file whose background is an IW44
// wavelet picture made by our own coder: one luminance component for grey
// pictures, luminance and two chroma components for colour ones.
Status WriteDjvu(const std::string& path, const ImageCanvas& canvas, Host& host);

}  // namespace marbleye
