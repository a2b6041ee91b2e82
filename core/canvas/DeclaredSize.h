#pragma once

#include <cstdint>

#include "canvas/PixelLimits.h"

namespace marbleye {

// How many bytes of decoded picture one byte of a file's picture data can
// stand for at most, by the way the data is coded. Readers whose coding has
// its own bound (a run-length packet, a fax code) state it beside their
// reader in these terms.
namespace expansion {
// Rows stored as they are, or as text.
inline constexpr uint64_t kStored = 1;
// zlib's deflate: 258 bytes from a one-bit code at best, 1032 : 1 in all.
inline constexpr uint64_t kDeflate = 1032;
// LZW with codes of up to 12 bits: one code stands for up to 4096 pixels.
inline constexpr uint64_t kLzwPixels = 2731;
}  // namespace expansion

// Whether a file can hold the picture its header declares, checked before
// the canvas is allocated: a header that claims far more than its file's
// codedBytes can describe is refused with the reader's message and costs
// nothing.
//
// The rule: decodedBytes <= codedBytes x max(maxExpansion, 16), or the
// picture is small (at most 1 MiB). The factor 16 keeps files cut short
// loadable (the rest of the picture black) down to a sixteenth of their
// stored data; formats that compress have a larger factor anyway.
bool FileCanHold(uint64_t decodedBytes, uint64_t codedBytes, uint64_t maxExpansion);
inline bool FileCanHold(const PixelLayout& layout, uint64_t codedBytes, uint64_t maxExpansion) {
    return FileCanHold(layout.byteCount, codedBytes, maxExpansion);
}

inline constexpr uint64_t kAlwaysHeldBytes = uint64_t{1} << 20;
inline constexpr uint64_t kCutShortAllowance = 16;

}  // namespace marbleye
