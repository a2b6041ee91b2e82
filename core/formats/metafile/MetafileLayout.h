#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/Status.h"
#include "common/SystemMetafile.h"

namespace marbleye::metafile {

inline constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
inline constexpr size_t kPlaceableHeaderBytes = 22;

// What the bytes of a metafile file hold, checked without the system: which
// kind it is, the part the system loads, and whether a placeable header's
// checksum was right.
struct MetafileLayout {
    Status status = Status::Ok();  // the kind's load message when the file is not sound
    MetafileBytes metafile;
    bool checksumMismatch = false;
};

// Tells the kind by its signature (" EMF" at byte 40, then the placeable key
// at byte 0, otherwise a Windows 3.x metafile) and checks that every record
// lies inside the declared size and the file, and that the records with a
// point count hold their points, so the system never reads past the bytes.
MetafileLayout ExamineMetafile(std::span<const uint8_t> file);

// The message of a metafile of this kind that cannot be loaded.
const char* LoadFailureMessage(MetafileKind kind);

}  // namespace marbleye::metafile
