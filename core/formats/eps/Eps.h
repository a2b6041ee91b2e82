#pragma once

#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// The preview of an Encapsulated PostScript file with a binary header: its
// TIFF preview through the TIFF RGBA reader. Metafile previews need the
// platform's metafile player.
Status ReadEpsPreview(const std::string& path, LoadContext& context);

}  // namespace marbleye
