#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Softimage PIC files; any other ".pic" goes to the Pictor PC Paint reader.
Status ReadPic(const std::string& path, LoadContext& context);
// Pictor PC Paint pictures at 1, 2-4 and 8 bits.
Status ReadPictor(const std::string& path, LoadContext& context);

}  // namespace marbleye
