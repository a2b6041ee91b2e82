#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// The preview of an Encapsulated PostScript file with a binary header: its
// Windows metafile preview played by the system, or its TIFF preview through
// the TIFF RGBA reader.
Status ReadEpsPreview(const std::string& path, LoadContext& context);

}  // namespace marbleye
