#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace marbleye {

class ImageCanvas;

// The three kinds of metafile the program shows.
enum class MetafileKind {
    kEnhanced,   // " EMF" at byte 40
    kPlaceable,  // a Windows metafile behind the 22-byte placeable header
    kWindows,    // a Windows 3.x metafile of its own
};

// A checked metafile as the system is to load it: the enhanced metafile, or
// the Windows metafile (without the placeable header) that the system turns
// into an enhanced one.
struct MetafileBytes {
    MetafileKind kind = MetafileKind::kWindows;
    const uint8_t* data = nullptr;
    size_t size = 0;
    // Placeable metafiles only: the picture's size in 0.01 mm, the extents
    // of the anisotropic mapping the Windows metafile is converted with.
    int32_t xExtent = 0;
    int32_t yExtent = 0;
};

// Right and bottom of the bounds in an enhanced metafile's header.
struct MetafileBounds {
    int32_t right = 0;
    int32_t bottom = 0;
};

// An enhanced metafile the system holds, ready to be played.
class SystemMetafile {
public:
    virtual ~SystemMetafile() = default;
    // Nothing when the system cannot give the header.
    virtual std::optional<MetafileBounds> HeaderBounds() = 0;
    // Plays the metafile over the whole canvas (24 bits, white, of the
    // header's right x bottom); false when the system could not.
    virtual bool PlayInto(ImageCanvas& canvas) = 0;
};

}  // namespace marbleye
