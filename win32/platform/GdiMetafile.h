#pragma once

#include <windows.h>

#include <memory>

#include "common/SystemMetafile.h"

namespace marbleye::win32 {

// The device context the canvas's section is selected into (a new one with
// every new canvas).
using CanvasDcSource = HDC (*)();

// Loads a checked metafile as an enhanced metafile through GDI (Windows
// metafiles are converted), to be played into the canvas; nothing when GDI
// refuses it.
std::unique_ptr<SystemMetafile> LoadGdiMetafile(const MetafileBytes& metafile, CanvasDcSource canvasDc);

}  // namespace marbleye::win32
