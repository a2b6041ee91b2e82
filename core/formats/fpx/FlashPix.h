#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// FlashPix pictures: a compound document whose image object holds one or more
// resolutions of 64 x 64 tiles, each uncompressed, of a single colour or
// JPEG-coded. The highest resolution is shown; for thumbnails the summary
// information's stored picture is used when there is one.
Status ReadFlashPix(const std::string& path, LoadContext& context);

}  // namespace marbleye
