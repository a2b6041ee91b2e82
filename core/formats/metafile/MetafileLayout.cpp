#include "formats/metafile/MetafileLayout.h"

#include <algorithm>

#include "io/ByteReader.h"

namespace marbleye::metafile {

namespace {

constexpr uint32_t kEnhancedSignature = 0x464D4520;  // " EMF"
constexpr size_t kSignatureOffset = 40;
constexpr size_t kEnhancedHeaderBytes = 88;
constexpr uint32_t kEnhancedHeaderType = 1;
constexpr uint32_t kEnhancedEndType = 14;
constexpr size_t kWindowsHeaderBytes = 18;
constexpr uint16_t kWindowsEndFunction = 0x0000;
constexpr int32_t kHimetricPerInch = 2540;

ByteReader ReaderAt(std::span<const uint8_t> bytes, size_t offset) {
    return offset <= bytes.size() ? ByteReader(bytes.data() + offset, bytes.size() - offset) : ByteReader(nullptr, 0);
}

// Records whose parameters give a number of points (or of polygons and
// points) that the system reads without looking at the record's size.
struct EnhancedPointRecord {
    uint32_t type;
    uint32_t pointBytes;
    bool manyPolygons;
};
constexpr EnhancedPointRecord kEnhancedPointRecords[] = {
    {2, 8, false},  {3, 8, false},  {4, 8, false},  {5, 8, false},  {6, 8, false},  // POLYBEZIER .. POLYLINETO
    {7, 8, true},   {8, 8, true},                                                   // POLYPOLYLINE, POLYPOLYGON
    {85, 4, false}, {86, 4, false}, {87, 4, false}, {88, 4, false}, {89, 4, false}, // the 16-bit forms
    {90, 4, true},  {91, 4, true},
};

// A point record: bounds (16 bytes), then either a point count and the
// points, or a polygon count, a point count, the polygons' counts and the
// points.
bool EnhancedPointsFit(std::span<const uint8_t> record, const EnhancedPointRecord& kind) {
    ByteReader in = ReaderAt(record, 8 + 16);
    uint64_t needed = 8 + 16;
    if (kind.manyPolygons) {
        const uint64_t polygons = in.U32LE();
        const uint64_t points = in.U32LE();
        needed += 8 + polygons * 4 + points * kind.pointBytes;
    } else {
        const uint64_t points = in.U32LE();
        needed += 4 + points * kind.pointBytes;
    }
    return !in.failed() && needed <= record.size();
}

bool EnhancedRecordFits(std::span<const uint8_t> record, uint32_t type) {
    for (const EnhancedPointRecord& kind : kEnhancedPointRecords) {
        if (kind.type == type) return EnhancedPointsFit(record, kind);
    }
    return true;
}

// The enhanced metafile of the file's first header.bytes bytes, or nothing.
std::optional<MetafileBytes> CheckEnhanced(std::span<const uint8_t> file) {
    ByteReader header(file.data(), file.size());
    const uint32_t type = header.U32LE();
    const uint32_t headerSize = header.U32LE();
    header.Skip(kSignatureOffset - 8);  // bounds, frame
    const uint32_t signature = header.U32LE();
    header.U32LE();  // version
    const uint32_t declaredBytes = header.U32LE();
    if (header.failed() || type != kEnhancedHeaderType || signature != kEnhancedSignature ||
        headerSize < kEnhancedHeaderBytes || headerSize > declaredBytes || declaredBytes > file.size()) {
        return std::nullopt;
    }
    const std::span<const uint8_t> metafile = file.first(declaredBytes);
    size_t position = 0;
    while (true) {
        ByteReader in = ReaderAt(metafile, position);
        const uint32_t recordType = in.U32LE();
        const uint32_t recordSize = in.U32LE();
        if (in.failed() || recordSize < 8 || recordSize % 4 != 0 || recordSize > metafile.size() - position) {
            return std::nullopt;
        }
        if ((position == 0) != (recordType == kEnhancedHeaderType)) return std::nullopt;
        if (!EnhancedRecordFits(metafile.subspan(position, recordSize), recordType)) return std::nullopt;
        position += recordSize;
        if (recordType == kEnhancedEndType) break;
    }
    return MetafileBytes{MetafileKind::kEnhanced, metafile.data(), metafile.size(), 0, 0};
}

// Windows metafile records with a point count: POLYGON, POLYLINE (a count,
// then 4-byte points) and POLYPOLYGON (a polygon count, each polygon's point
// count, then the points).
constexpr uint16_t kPolygon = 0x0324;
constexpr uint16_t kPolyline = 0x0325;
constexpr uint16_t kPolyPolygon = 0x0538;

bool WindowsRecordFits(std::span<const uint8_t> record, uint16_t function) {
    ByteReader in = ReaderAt(record, 6);
    uint64_t needed = 6;
    if (function == kPolygon || function == kPolyline) {
        needed += 2 + uint64_t{in.U16LE()} * 4;
    } else if (function == kPolyPolygon) {
        const uint16_t polygons = in.U16LE();
        uint64_t points = 0;
        for (uint32_t i = 0; i < polygons && !in.failed(); ++i) points += in.U16LE();
        needed += 2 + uint64_t{polygons} * 2 + points * 4;
    } else {
        return true;
    }
    return !in.failed() && needed <= record.size();
}

// The Windows metafile at the start of bytes, up to its end record, or
// nothing. Writers disagree about the size in the header (Inkscape counts
// the placeable header in it), so a file may end before that size when its
// end record is there.
std::optional<std::span<const uint8_t>> CheckWindows(std::span<const uint8_t> bytes) {
    ByteReader header(bytes.data(), bytes.size());
    const uint16_t type = header.U16LE();
    const uint16_t headerWords = header.U16LE();
    header.U16LE();  // version
    const uint64_t declaredBytes = uint64_t{header.U32LE()} * 2;
    if (header.failed() || (type != 1 && type != 2) || headerWords * 2u != kWindowsHeaderBytes ||
        declaredBytes < kWindowsHeaderBytes) {
        return std::nullopt;
    }
    const std::span<const uint8_t> records =
        bytes.first(static_cast<size_t>(std::min<uint64_t>(declaredBytes, bytes.size())));
    size_t position = kWindowsHeaderBytes;
    bool ended = false;
    while (position < records.size() && !ended) {
        ByteReader in = ReaderAt(records, position);
        const uint64_t recordBytes = uint64_t{in.U32LE()} * 2;
        const uint16_t function = in.U16LE();
        if (in.failed() || recordBytes < 6 || recordBytes > records.size() - position) return std::nullopt;
        if (!WindowsRecordFits(records.subspan(position, static_cast<size_t>(recordBytes)), function)) {
            return std::nullopt;
        }
        position += static_cast<size_t>(recordBytes);
        ended = function == kWindowsEndFunction;
    }
    if (!ended && declaredBytes > bytes.size()) return std::nullopt;  // cut short
    return records.first(position);
}

MetafileLayout Failed(MetafileKind kind) {
    MetafileLayout layout;
    layout.status = Status::Fail(LoadFailureMessage(kind));
    layout.metafile.kind = kind;
    return layout;
}

// The placeable header: key, handle, bounds (left, top, right, bottom as
// signed words), units per inch, 4 reserved bytes, then the XOR of the ten
// words before it.
MetafileLayout ExaminePlaceable(std::span<const uint8_t> file) {
    ByteReader in(file.data(), file.size());
    uint16_t checksum = 0;
    for (int i = 0; i < 10; ++i) checksum ^= in.U16LE();
    const uint16_t storedChecksum = in.U16LE();
    if (in.failed()) return Failed(MetafileKind::kPlaceable);
    ByteReader fields = ReaderAt(file, 6);
    const int32_t left = static_cast<int16_t>(fields.U16LE());
    const int32_t top = static_cast<int16_t>(fields.U16LE());
    const int32_t right = static_cast<int16_t>(fields.U16LE());
    const int32_t bottom = static_cast<int16_t>(fields.U16LE());
    const int32_t unitsPerInch = fields.U16LE();
    // No units per inch leaves the picture without a size (and would divide by zero).
    if (unitsPerInch == 0) return Failed(MetafileKind::kPlaceable);
    const auto windows = CheckWindows(file.subspan(kPlaceableHeaderBytes));
    if (!windows) return Failed(MetafileKind::kPlaceable);
    MetafileLayout layout;
    layout.metafile = MetafileBytes{MetafileKind::kPlaceable, windows->data(), windows->size(),
                                    (right - left) * kHimetricPerInch / unitsPerInch,
                                    (bottom - top) * kHimetricPerInch / unitsPerInch};
    layout.checksumMismatch = checksum != storedChecksum;
    return layout;
}

}  // namespace

const char* LoadFailureMessage(MetafileKind kind) {
    switch (kind) {
        case MetafileKind::kEnhanced:
            return "Unable to load Enhanced Metafile (EMF)";
        case MetafileKind::kPlaceable:
            return "Unable to load Aldus Placable Metafile (APM)";
        case MetafileKind::kWindows:
            break;
    }
    return "Unable to load Windows 3.x Metafile";
}

MetafileLayout ExamineMetafile(std::span<const uint8_t> file) {
    ByteReader signature = ReaderAt(file, kSignatureOffset);
    if (signature.U32LE() == kEnhancedSignature && !signature.failed()) {
        const auto enhanced = CheckEnhanced(file);
        if (!enhanced) return Failed(MetafileKind::kEnhanced);
        MetafileLayout layout;
        layout.metafile = *enhanced;
        return layout;
    }
    ByteReader key(file.data(), file.size());
    if (key.U32LE() == kPlaceableKey && !key.failed()) return ExaminePlaceable(file);
    const auto windows = CheckWindows(file);
    if (!windows) return Failed(MetafileKind::kWindows);
    MetafileLayout layout;
    layout.metafile = MetafileBytes{MetafileKind::kWindows, windows->data(), windows->size(), 0, 0};
    return layout;
}

}  // namespace marbleye::metafile
