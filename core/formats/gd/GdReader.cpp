#include <algorithm>
#include <cassert>
#include <vector>

#include <zlib.h>

#include "canvas/DeclaredSize.h"
#include "canvas/PixelLimits.h"
#include "formats/gd/Gd.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kCannotOpen = "Couldn't load GD file!";
constexpr std::string_view kCannotLoad = "Couldn't load GD/GD2 file!";

// A GD 2.x file starts with one of these words where a GD 1.x file has its
// width; libgd writes 0xFFFE for true colour and 0xFFFF for a palette.
constexpr uint16_t kTrueColourSignature = 0xFFFE;
constexpr uint16_t kPaletteSignature = 0xFFFF;

// The colour header at its largest: the 2.x form with true-colour flag,
// colour count, transparent colour and 256 entries of red, green, blue, alpha.
constexpr size_t kLargestColourHeader = 1 + 2 + 4 + 256 * 4;

constexpr std::string_view kGd2Magic{"gd2\0", 4};
constexpr size_t kGd2HeaderBytes = 18;
constexpr size_t kChunkPlaceBytes = 8;
// The GD2 chunk size limits, in pixels per side.
constexpr uint32_t kSmallestChunk = 64;
constexpr uint32_t kLargestChunk = 4096;

enum Gd2Format : uint16_t { kRaw = 1, kCompressed = 2, kTrueColourRaw = 3, kTrueColourCompressed = 4 };

// Where a picture's pixels are stored: one byte (a palette index) or four
// (alpha, red, green, blue) each.
struct PixelCoding {
    bool trueColour = false;
    Palette256 palette{};
    uint32_t bytes() const { return trueColour ? 4 : 1; }
};

// Reads the colour header: the 2.x form (true-colour flag, colour count,
// transparent colour, 256 entries of red, green, blue, alpha) or the 1.x
// form (colour count, transparent colour, 256 entries of red, green, blue).
bool ReadColours(ByteReader& in, bool twoX, PixelCoding& coding) {
    if (twoX) {
        if (in.U8() != (coding.trueColour ? 1 : 0)) return false;
        if (!coding.trueColour && in.U16BE() > 256) return false;
        in.U32BE();  // transparent colour
    } else {
        in.U8();     // colour count
        in.U16BE();  // transparent colour
    }
    if (coding.trueColour) return !in.failed();
    for (size_t i = 0; i < 256; ++i) {
        coding.palette[i * 3] = in.U8();
        coding.palette[i * 3 + 1] = in.U8();
        coding.palette[i * 3 + 2] = in.U8();
        if (twoX) in.U8();  // alpha
    }
    return !in.failed();
}

// Reads the colour header that starts at the file's current position and
// leaves the file at the first byte after it.
bool ReadColoursFromFile(InputFile& file, bool twoX, PixelCoding& coding) {
    const uint64_t start = file.Tell();
    uint8_t bytes[kLargestColourHeader];
    ByteReader in(bytes, file.Read(bytes, sizeof bytes));
    return ReadColours(in, twoX, coding) && file.Seek(start + in.position());
}

// One stored pixel as blue, green, red in the 24-bit canvas.
void PutPixel(uint8_t* target, const uint8_t* stored, const PixelCoding& coding) {
    if (coding.trueColour) {
        target[0] = stored[3], target[1] = stored[2], target[2] = stored[1];
        return;
    }
    const size_t index = size_t{stored[0]} * 3;
    target[0] = coding.palette[index + 2], target[1] = coding.palette[index + 1], target[2] = coding.palette[index];
}

// Whether the rest of the file from dataStart can hold width x height stored
// pixels coded with this expansion; then creates the 24-bit canvas.
Status CreateCanvas(LoadContext& context, uint32_t width, uint32_t height, const PixelCoding& coding,
                    uint64_t dataStart, uint64_t fileSize, uint64_t maxExpansion) {
    assert(dataStart <= fileSize);
    const uint64_t storedBytes = uint64_t{width} * height * coding.bytes();
    if (!FileCanHold(storedBytes, fileSize - dataStart, maxExpansion)) {
        return Status::Fail(std::string(kCannotLoad));
    }
    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.fileBitDepth = coding.trueColour ? 24 : 8;
    image.palette = coding.palette;
    if (!CheckedLayout(width, height, 24) || !context.canvas.Create(image.width, image.height, 24, 0, Palette256{})) {
        return Status::Fail("Out of Memory!");
    }
    return Status::Ok();
}

Status ReadGdBody(InputFile& file, LoadContext& context) {
    uint8_t bytes[6];
    ByteReader header(bytes, file.Read(bytes, sizeof bytes));
    uint32_t width = header.U16BE();
    const bool twoX = width == kTrueColourSignature || width == kPaletteSignature;
    PixelCoding coding;
    coding.trueColour = width == kTrueColourSignature;
    if (twoX) width = header.U16BE();
    const uint32_t height = header.U16BE();
    if (header.failed() || width == 0 || height == 0 || !file.Seek(header.position()) ||
        !ReadColoursFromFile(file, twoX, coding)) {
        return Status::Fail(std::string(kCannotLoad));
    }
    const Status created = CreateCanvas(context, width, height, coding, file.Tell(), file.size(), expansion::kStored);
    if (!created.ok()) return created;

    std::vector<uint8_t> row(size_t{width} * coding.bytes());
    for (uint32_t y = 0; y < height; ++y) {
        if (!file.ReadExact(row.data(), row.size())) return Status::Fail(std::string(kCannotLoad));
        uint8_t* target = context.canvas.Row(static_cast<int32_t>(height - 1 - y));
        for (uint32_t x = 0; x < width; ++x) {
            PutPixel(target + size_t{x} * 3, row.data() + size_t{x} * coding.bytes(), coding);
        }
        context.RowDone();
    }
    return Status::Ok();
}

// The fixed part of a GD2 header: magic, version, size, chunk size, data
// format and chunk counts across and down. Like libgd we take any chunk
// counts: chunks beyond the picture hold no pixels, and where too few chunks
// cover it the rest stays as stored pixel 0 would show.
struct Gd2Header {
    uint16_t version = 0;
    uint32_t width = 0, height = 0, chunkSize = 0, across = 0, down = 0;
    bool compressed = false;
    bool trueColour = false;
    uint32_t neededAcross() const { return (width + chunkSize - 1) / chunkSize; }
    uint32_t neededDown() const { return (height + chunkSize - 1) / chunkSize; }
    bool covers() const { return across >= neededAcross() && down >= neededDown(); }
};

bool ReadGd2Header(InputFile& file, Gd2Header& header) {
    uint8_t bytes[kGd2HeaderBytes];
    ByteReader in(bytes, file.Read(bytes, sizeof bytes));
    char magic[4];
    for (char& c : magic) c = static_cast<char>(in.U8());
    header.version = in.U16BE();
    header.width = in.U16BE(), header.height = in.U16BE(), header.chunkSize = in.U16BE();
    const uint16_t format = in.U16BE();
    header.across = in.U16BE(), header.down = in.U16BE();
    header.compressed = format == kCompressed || format == kTrueColourCompressed;
    header.trueColour = format == kTrueColourRaw || format == kTrueColourCompressed;
    // libgd refuses an empty chunk index, so compressed files need a chunk.
    const bool hasChunks = header.across != 0 && header.down != 0;
    return !in.failed() && std::string_view(magic, 4) == kGd2Magic && (header.version == 1 || header.version == 2) &&
           format >= kRaw && format <= kTrueColourCompressed && header.width != 0 && header.height != 0 &&
           header.chunkSize >= kSmallestChunk && header.chunkSize <= kLargestChunk && (hasChunks || !header.compressed);
}

struct ChunkPlace {
    uint32_t offset = 0;
    uint32_t size = 0;
};

// The index of compressed chunks (offset and size of each, row by row),
// which follows the fixed header; every chunk must lie inside the file.
bool ReadChunkIndex(InputFile& file, const Gd2Header& header, std::vector<ChunkPlace>& chunks) {
    const uint64_t count = uint64_t{header.across} * header.down;
    if (count * kChunkPlaceBytes > file.size() - file.Tell()) return false;
    std::vector<uint8_t> bytes(count * kChunkPlaceBytes);
    if (!file.ReadExact(bytes.data(), bytes.size())) return false;
    ByteReader in(bytes.data(), bytes.size());
    chunks.resize(count);
    for (ChunkPlace& chunk : chunks) {
        chunk.offset = in.U32BE(), chunk.size = in.U32BE();
        if (uint64_t{chunk.offset} + chunk.size > file.size()) return false;
    }
    return !in.failed();
}

// Inflates one chunk's zlib stream: its first pixels.size() bytes are the
// chunk's pixels. As in libgd, a stream may go on up to limit bytes (a whole
// chunk of chunk size squared); the rest is decoded and dropped.
bool InflateChunk(const std::vector<uint8_t>& packed, std::vector<uint8_t>& pixels, size_t limit) {
    assert(pixels.size() <= limit);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = const_cast<Bytef*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = pixels.data();
    stream.avail_out = static_cast<uInt>(pixels.size());
    int result = inflate(&stream, Z_FINISH);
    uint8_t dropped[4096];
    while (result == Z_BUF_ERROR && stream.avail_out == 0 && stream.total_out < limit) {
        stream.next_out = dropped;
        stream.avail_out = static_cast<uInt>(std::min<uint64_t>(sizeof dropped, limit - stream.total_out));
        result = inflate(&stream, Z_FINISH);
    }
    const bool whole = result == Z_STREAM_END && stream.total_out >= pixels.size();
    inflateEnd(&stream);
    return whole;
}

// Reads the chunks one after the other, raw or through the index, into the
// canvas.
class Gd2Chunks {
public:
    Gd2Chunks(InputFile& file, const Gd2Header& header, const PixelCoding& coding, std::vector<ChunkPlace> index)
        : file_(file), header_(header), coding_(coding), index_(std::move(index)) {}

    // Only chunks that hold pixels are read: raw chunks beyond the picture
    // take no bytes of the file, and compressed ones are not inflated.
    bool Read(LoadContext& context) {
        if (!header_.covers()) PaintStoredZero(context.canvas);
        const uint32_t across = std::min(header_.across, header_.neededAcross());
        const uint32_t down = std::min(header_.down, header_.neededDown());
        for (uint32_t cy = 0; cy < down; ++cy) {
            for (uint32_t cx = 0; cx < across; ++cx) {
                if (!ReadChunk(cx, cy, context.canvas)) return false;
                context.RowDone();
            }
        }
        return true;
    }

private:
    void PaintStoredZero(ImageCanvas& canvas) const {
        const uint8_t zero[4] = {};
        uint8_t colour[3];
        PutPixel(colour, zero, coding_);
        for (int32_t y = 0; y < canvas.height(); ++y) {
            uint8_t* target = canvas.Row(y);
            for (int32_t x = 0; x < canvas.width(); ++x, target += 3) std::copy(colour, colour + 3, target);
        }
    }

    bool ReadChunk(uint32_t cx, uint32_t cy, ImageCanvas& canvas) {
        const uint32_t left = cx * header_.chunkSize, top = cy * header_.chunkSize;
        const uint32_t right = std::min(left + header_.chunkSize, header_.width);
        const uint32_t bottom = std::min(top + header_.chunkSize, header_.height);
        pixels_.resize(size_t{right - left} * (bottom - top) * coding_.bytes());
        const bool read = header_.compressed ? Inflate(size_t{cy} * header_.across + cx)
                                             : file_.ReadExact(pixels_.data(), pixels_.size());
        if (!read) return false;
        const uint8_t* stored = pixels_.data();
        for (uint32_t y = top; y < bottom; ++y) {
            uint8_t* target = canvas.Row(static_cast<int32_t>(header_.height - 1 - y)) + size_t{left} * 3;
            for (uint32_t x = left; x < right; ++x, stored += coding_.bytes(), target += 3) {
                PutPixel(target, stored, coding_);
            }
        }
        return true;
    }

    bool Inflate(size_t chunk) {
        const ChunkPlace& place = index_[chunk];
        packed_.resize(place.size);
        const size_t limit = size_t{header_.chunkSize} * header_.chunkSize * coding_.bytes();
        return file_.Seek(place.offset) && file_.ReadExact(packed_.data(), packed_.size()) &&
               InflateChunk(packed_, pixels_, limit);
    }

    InputFile& file_;
    const Gd2Header& header_;
    const PixelCoding& coding_;
    std::vector<ChunkPlace> index_;
    std::vector<uint8_t> packed_, pixels_;
};

Status ReadGd2Body(InputFile& file, LoadContext& context) {
    Gd2Header header;
    std::vector<ChunkPlace> index;
    if (!ReadGd2Header(file, header) || (header.compressed && !ReadChunkIndex(file, header, index))) {
        return Status::Fail(std::string(kCannotLoad));
    }
    PixelCoding coding;
    coding.trueColour = header.trueColour;
    if (!ReadColoursFromFile(file, header.version == 2, coding)) return Status::Fail(std::string(kCannotLoad));
    const uint64_t maxExpansion = header.compressed ? expansion::kDeflate : expansion::kStored;
    const Status created =
        CreateCanvas(context, header.width, header.height, coding, file.Tell(), file.size(), maxExpansion);
    if (!created.ok()) return created;
    Gd2Chunks chunks(file, header, coding, std::move(index));
    return chunks.Read(context) ? Status::Ok() : Status::Fail(std::string(kCannotLoad));
}

}  // namespace

Status ReadGd(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kCannotOpen));
    const bool gd2 = !path.empty() && path.back() == '2';
    return gd2 ? ReadGd2Body(file, context) : ReadGdBody(file, context);
}

}  // namespace marbleye
