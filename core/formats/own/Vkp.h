#pragma once

#include <cstdint>
#include <string>

#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// The program's own picture format (vkp): Version 1 is decimal text, plain or
// run-length coded; Version 2 a 15-byte header and one zlib stream of the
// canvas rows.
Status ReadVkp(const std::string& path, LoadContext& context);

// 2 for Version 2, 1 for Version 1, -1 for neither, 0 when the file cannot be opened.
int32_t DetectVkpVersion(const std::string& path);

struct VkpWriteOptions {
    int32_t version = 2;  // 1 writes Version 1; any other value Version 2
    int32_t level = 9;    // zlib level of Version 2, 0..9
    bool runLength = true;  // run-length coding of Version 1
};

// Pictures wider or taller than 65535 pixels do not fit Version 2's header
// and are written as run-length Version 1.
Status WriteVkp(const std::string& path, const ImageCanvas& canvas, const VkpWriteOptions& options, Host& host);

}  // namespace marbleye
