#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/Status.h"
#include "formats/LoadContext.h"

namespace marbleye {

// Enhanced, placeable and Windows 3.x metafiles, played by the system into a
// white 24-bit canvas. Without a metafile player (the command line tool, the
// tests) a sound metafile gives kNoMetafilePlayer.
Status ReadMetafile(const std::string& path, LoadContext& context);

// The same for a metafile held in memory (the preview of an EPS file).
Status ShowMetafile(std::span<const uint8_t> bytes, LoadContext& context);

inline constexpr const char* kNoMetafilePlayer =
    "Metafiles are drawn by the system: this file can be shown by the Windows program only.";

}  // namespace marbleye
