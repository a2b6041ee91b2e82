#include "formats/icon/IconDirectory.h"

#include <cstdlib>

#include "io/ByteReader.h"

namespace marbleye::icon {

namespace {

constexpr size_t kDirectoryHeader = 6;
constexpr size_t kEntrySize = 16;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;
// The signature's first four bytes read as a little-endian header size.
constexpr uint32_t kPngSignature = 0x474E5089;
// Signature, IHDR length and name, width, height, bit depth, colour type.
constexpr size_t kPngHeadBytes = 26;
constexpr int kPngColourWithAlpha = 6;

// Fills what the entry's data says about itself; false when the data's
// header cannot be read whole.
bool ReadImageHead(InputFile& file, IconCandidate& candidate) {
    uint8_t head[kInfoHeaderSize] = {};
    if (!file.Seek(candidate.offset)) return false;
    const size_t got = file.Read(head, sizeof head);
    ByteReader fields(head, got);
    const uint32_t headerSize = fields.U32LE();
    if (fields.failed()) return false;
    if (headerSize == kPngSignature) {
        if (got < kPngHeadBytes) return false;
        ByteReader png(head + 16, got - 16);
        candidate.png = true;
        candidate.width = static_cast<int32_t>(png.U32BE() & 0x7FFFFFFF);
        candidate.height = static_cast<int32_t>(png.U32BE() & 0x7FFFFFFF);
        png.U8();  // bit depth
        candidate.bits = png.U8() == kPngColourWithAlpha ? 32 : 24;
        return true;
    }
    if (headerSize == kCoreHeaderSize) {
        if (got < kCoreHeaderSize) return false;
        fields.Skip(6);  // width, height, planes
        candidate.bits = fields.U16LE();
        return true;
    }
    if (headerSize < kInfoHeaderSize || got < kInfoHeaderSize) return false;
    fields.Skip(10);  // width, height, planes
    candidate.bits = fields.U16LE();
    return true;
}

}  // namespace

std::optional<std::vector<IconCandidate>> ReadIconDirectory(InputFile& file) {
    uint8_t header[kDirectoryHeader];
    if (!file.Seek(0) || !file.ReadExact(header, sizeof header)) return std::nullopt;
    ByteReader fields(header, sizeof header);
    fields.Skip(4);  // reserved, type
    const uint16_t count = fields.U16LE();
    if (count == 0 || file.size() < kDirectoryHeader + kEntrySize * count) return std::nullopt;

    std::vector<uint8_t> entries(kEntrySize * count);
    if (!file.ReadExact(entries.data(), entries.size())) return std::nullopt;
    std::vector<IconCandidate> candidates;
    for (uint16_t i = 0; i < count; ++i) {
        ByteReader entry(entries.data() + kEntrySize * i, kEntrySize);
        IconCandidate candidate;
        candidate.width = entry.U8();
        candidate.height = entry.U8();
        entry.Skip(10);  // colour count, reserved, planes, bit count, byte count
        candidate.offset = entry.U32LE();
        if (!ReadImageHead(file, candidate)) break;
        candidates.push_back(candidate);
    }
    if (candidates.empty()) return std::nullopt;
    return candidates;
}

int32_t PickIconEntry(const std::vector<IconCandidate>& candidates, int32_t width, int32_t height, int32_t depth) {
    const auto difference = [](int64_t a, int64_t b) { return static_cast<uint64_t>(std::llabs(a - b)); };
    uint64_t bestX = 0, bestY = 0, bestTotal = UINT64_MAX;
    for (const IconCandidate& candidate : candidates) {
        const uint64_t x = difference(width, candidate.width), y = difference(height, candidate.height);
        if (x + y < bestTotal) bestX = x, bestY = y, bestTotal = x + y;
    }
    int32_t best = -1;
    uint64_t bestColour = UINT64_MAX;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const IconCandidate& candidate = candidates[i];
        if (difference(width, candidate.width) != bestX || difference(height, candidate.height) != bestY) continue;
        const uint64_t colour = difference(depth, candidate.bits);
        if (colour < bestColour) best = static_cast<int32_t>(i), bestColour = colour;
    }
    return best;
}

}  // namespace marbleye::icon
