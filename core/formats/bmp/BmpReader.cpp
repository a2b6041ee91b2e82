#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "canvas/ChannelScaling.h"
#include "canvas/DeclaredSize.h"
#include "formats/bmp/Bmp.h"
#include "formats/bmp/BmpFormat.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

using namespace bmp;

// A two-byte run gives at most 255 pixels: 128 canvas bytes a file byte at 8
// bits, 64 at 4 bits. End-of-line codes, which leave a row as the row before
// left it, are not counted as describing pixels.
constexpr uint64_t kRle8Expansion = 128;
constexpr uint64_t kRle4Expansion = 64;

// Where red, green and blue sit in a 16- or 32-bit pixel.
struct BitMasks {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    bool operator==(const BitMasks&) const = default;
};

struct BmpHeader {
    uint32_t dataOffset = 0;
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // always positive here; topDown remembers the sign
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = kUncompressed;
    BitMasks masks;  // as stored; zero when the file has none
    uint32_t paletteOffset = 0;
};

// 12 is the OS/2 1.x core header, 64 the OS/2 2.x header; 40 is the Windows
// header, and 52, 56, 108 and 124 extend it (masks first, then colour space
// fields that the reader skips).
bool IsKnownHeaderSize(uint32_t size) {
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool IsKnownBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bit-field masks follow a 40-byte header and open the longer Windows headers,
// at the same file offset; the OS/2 headers have none.
bool HasMasks(const BmpHeader& header) {
    return header.compression == kBitFields && header.headerSize != 12 && header.headerSize != 64;
}

Status ReadHeader(InputFile& file, BmpHeader& header) {
    uint8_t fixed[kFileHeaderSize + 4];
    ByteReader start(fixed, file.Read(fixed, sizeof fixed));
    if (start.U16LE() != kSignature) return Status::Fail(std::string(kNotABitmap));
    start.Skip(8);
    header.dataOffset = start.U32LE();
    header.headerSize = start.U32LE();
    if (start.failed()) return Status::Fail(std::string(kNotABitmap));
    if (!IsKnownHeaderSize(header.headerSize)) return Status::Fail(std::string(kUnknownHeaderSize));

    // The masks after a 40-byte header are read with it; a file too short for
    // them simply has none.
    uint8_t info[124 + 12] = {};
    const size_t headerRest = header.headerSize - 4;
    const size_t infoSize = file.Read(info, headerRest + (header.headerSize == 40 ? 12 : 0));
    if (infoSize < headerRest) return Status::Fail(std::string(kNotABitmap));
    ByteReader fields(info, infoSize);
    int64_t height = 0;
    if (header.headerSize == 12) {
        header.width = fields.U16LE();
        height = fields.U16LE();
        fields.Skip(2);
        header.bitCount = fields.U16LE();
    } else {
        header.width = fields.I32LE();
        height = fields.I32LE();
        fields.Skip(2);
        header.bitCount = fields.U16LE();
        header.compression = fields.U32LE();
    }
    if (header.compression > kBitFields) return Status::Fail(std::string(kUnsupportedCompression));
    if (!IsKnownBitCount(header.bitCount)) return Status::Fail(std::string(kUnsupportedBitCount));
    header.topDown = height < 0;
    if (height < 0) height = -height;
    if (header.width <= 0 || height == 0 || height > INT32_MAX) return Status::Fail(std::string(kNotABitmap));
    header.height = static_cast<int32_t>(height);

    if (HasMasks(header)) {
        ByteReader masks(info, infoSize);
        masks.Skip(36);  // the header fields before the masks
        header.masks.red = masks.U32LE();
        header.masks.green = masks.U32LE();
        header.masks.blue = masks.U32LE();
    }
    header.paletteOffset = kFileHeaderSize + header.headerSize + (header.headerSize == 40 && HasMasks(header) ? 12 : 0);
    return Status::Ok();
}

// Exactly 2^bitCount entries, whatever the header says about the colours used;
// entries past the end of the file stay black.
Palette256 ReadPalette(InputFile& file, const BmpHeader& header) {
    Palette256 palette{};
    if (header.bitCount > 8 || !file.Seek(header.paletteOffset)) return palette;
    const size_t entrySize = header.headerSize == 12 ? 3 : 4;
    const size_t entries = size_t{1} << header.bitCount;
    uint8_t stored[256 * 4] = {};
    file.Read(stored, entries * entrySize);
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t* entry = stored + i * entrySize;
        palette[i * 3] = entry[2];
        palette[i * 3 + 1] = entry[1];
        palette[i * 3 + 2] = entry[0];
    }
    return palette;
}

// Reads up to count bytes into target; what the file does not hold becomes 0.
void ReadRowBytes(InputFile& file, uint8_t* target, size_t count) {
    const size_t got = file.Read(target, count);
    std::memset(target + got, 0, count - got);
}

// The layout of 16- and 32-bit pixels without bit fields.
BitMasks DefaultMasks(uint16_t bitCount) {
    return bitCount == 16 ? BitMasks{0x7C00, 0x03E0, 0x001F} : BitMasks{0xFF0000, 0xFF00, 0xFF};
}

bool IsContiguous(uint32_t mask) {
    if (mask == 0) return true;
    const uint32_t field = mask >> std::countr_zero(mask);
    return (field & (field + 1)) == 0;
}

// The masks a picture is decoded with. A set whose masks are not each one
// run of bits, overlap, reach past the pixel or are all zero cannot be
// trusted: the pixels are then read as if the file had no bit fields. The
// 5-6-5 layout keeps to the top five of its six green bits, as it always has.
BitMasks MasksInUse(const BmpHeader& header) {
    const BitMasks& m = header.masks;
    const uint32_t pixelBits = header.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    const bool apart = ((m.red & m.green) | (m.red & m.blue) | (m.green & m.blue)) == 0;
    const bool inside = ((m.red | m.green | m.blue) & ~pixelBits) == 0;
    const bool runs = IsContiguous(m.red) && IsContiguous(m.green) && IsContiguous(m.blue);
    if ((m.red | m.green | m.blue) == 0 || !apart || !inside || !runs) return DefaultMasks(header.bitCount);
    if (m == BitMasks{0xF800, 0x07E0, 0x001F}) return {0xF800, 0x07C0, 0x001F};
    return m;
}

// One channel of a bit-field pixel, scaled to 8 bits; a zero mask gives 0.
class ChannelField {
public:
    explicit ChannelField(uint32_t mask) : mask_(mask) {
        if (mask == 0) return;
        shift_ = std::countr_zero(mask);
        bits_ = std::popcount(mask);
        if (bits_ > 8) return;
        for (uint32_t v = 0; v < (1u << bits_); ++v) scaled_[v] = ScaleToEightBits(v, bits_);
    }
    uint8_t Of(uint32_t pixel) const {
        const uint32_t value = (pixel & mask_) >> shift_;
        return bits_ <= 8 ? scaled_[value] : ScaleToEightBits(value, bits_);
    }

private:
    uint32_t mask_;
    int shift_ = 0;
    int bits_ = 0;
    std::array<uint8_t, 256> scaled_{};  // for fields of up to 8 bits
};

struct PixelFields {
    explicit PixelFields(const BitMasks& masks) : red(masks.red), green(masks.green), blue(masks.blue) {}
    ChannelField red;
    ChannelField green;
    ChannelField blue;
};

// A row of little-endian 16- or 32-bit pixels to blue, green, red.
void ExpandBitFieldRow(const uint8_t* stored, int32_t width, int bytesPerPixel, const PixelFields& fields,
                       uint8_t* target) {
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* p = stored + static_cast<size_t>(x) * bytesPerPixel;
        uint32_t pixel = p[0] | uint32_t{p[1]} << 8;
        if (bytesPerPixel == 4) pixel |= uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
        target[x * 3] = fields.blue.Of(pixel);
        target[x * 3 + 1] = fields.green.Of(pixel);
        target[x * 3 + 2] = fields.red.Of(pixel);
    }
}

enum class RowEnd { kEndOfLine, kEndOfData };

// Absolute runs are padded to a 16-bit boundary of the file.
void SkipRunPadding(InputFile& file) {
    if (file.Tell() & 1) file.ReadByte();
}

// One row of 8-bit run-length data into row (rowSize bytes). Bytes the row does
// not set keep what the previous row left there. Pixels beyond the row are
// dropped, and the row goes on to its end-of-line code.
RowEnd DecodeRle8Row(InputFile& file, uint8_t* row, size_t rowSize) {
    size_t x = 0;
    for (;;) {
        const int count = file.ReadByte();
        const int value = file.ReadByte();
        if (value < 0) return RowEnd::kEndOfData;
        if (count > 0) {
            for (int i = 0; i < count && x < rowSize; ++i) row[x++] = static_cast<uint8_t>(value);
            continue;
        }
        if (value == 0) return RowEnd::kEndOfLine;
        if (value == 1) return RowEnd::kEndOfData;
        if (value == 2) continue;  // a delta is not supported: its two bytes are read as the next pair
        for (int i = 0; i < value; ++i) {
            const int byte = file.ReadByte();
            if (byte < 0) return RowEnd::kEndOfData;
            if (x < rowSize) row[x++] = static_cast<uint8_t>(byte);
        }
        SkipRunPadding(file);
    }
}

class NibbleWriter {
public:
    NibbleWriter(uint8_t* row, size_t rowSize) : row_(row), rowSize_(rowSize) {}
    void Put(uint8_t nibble) {
        const size_t byte = position_ >> 1;
        if (byte < rowSize_) {
            row_[byte] = (position_ & 1) ? static_cast<uint8_t>((row_[byte] & 0xF0) | nibble)
                                         : static_cast<uint8_t>((row_[byte] & 0x0F) | (nibble << 4));
        }
        ++position_;
    }

private:
    uint8_t* row_;
    size_t rowSize_;
    size_t position_ = 0;
};

// One row of 4-bit run-length data; the row starts cleared.
RowEnd DecodeRle4Row(InputFile& file, uint8_t* row, size_t rowSize) {
    std::memset(row, 0, rowSize);
    NibbleWriter pixels(row, rowSize);
    for (;;) {
        const int count = file.ReadByte();
        const int value = file.ReadByte();
        if (value < 0) return RowEnd::kEndOfData;
        if (count > 0) {
            for (int i = 0; i < count; ++i) pixels.Put((i & 1) ? (value & 0x0F) : (value >> 4));
            continue;
        }
        if (value == 0) return RowEnd::kEndOfLine;
        if (value == 1) return RowEnd::kEndOfData;
        if (value == 2) continue;
        int byte = 0;
        for (int i = 0; i < value; ++i) {
            if ((i & 1) == 0 && (byte = file.ReadByte()) < 0) return RowEnd::kEndOfData;
            pixels.Put((i & 1) ? (byte & 0x0F) : (byte >> 4));
        }
        SkipRunPadding(file);
    }
}

// Decodes the stored rows into the canvas, the i-th stored row into canvas
// row i, until the rows or the file run out.
void DecodeRows(InputFile& file, const BmpHeader& header, LoadContext& context) {
    ImageCanvas& canvas = context.canvas;
    const size_t rowSize = static_cast<size_t>(canvas.stride());
    const bool plain = header.compression == kUncompressed || header.compression == kBitFields;
    std::vector<uint8_t> scratch;

    enum class Kind { kRows, kBitFields, kRle8, kRle4, kNone } kind = Kind::kNone;
    if (plain && (header.bitCount == 16 || header.bitCount == 32)) {
        kind = Kind::kBitFields;
        scratch.resize(static_cast<size_t>(RowStride(header.width, header.bitCount)));
    } else if (header.compression == kUncompressed) {
        kind = Kind::kRows;
    } else if (header.compression == kRle8 && header.bitCount == 8) {
        kind = Kind::kRle8;
        scratch.assign(rowSize, 0);
    } else if (header.compression == kRle4 && header.bitCount == 4) {
        kind = Kind::kRle4;
        scratch.assign(rowSize, 0);
    }
    if (kind == Kind::kNone || !file.Seek(header.dataOffset)) return;

    const PixelFields fields(MasksInUse(header));
    RowEnd end = RowEnd::kEndOfLine;
    for (int32_t row = 0; row < header.height && end != RowEnd::kEndOfData && !file.atEnd(); ++row) {
        uint8_t* target = canvas.Row(row);
        switch (kind) {
            case Kind::kRows: ReadRowBytes(file, target, rowSize); break;
            case Kind::kBitFields:
                ReadRowBytes(file, scratch.data(), scratch.size());
                ExpandBitFieldRow(scratch.data(), header.width, header.bitCount / 8, fields, target);
                break;
            case Kind::kRle8:
                end = DecodeRle8Row(file, scratch.data(), rowSize);
                std::memcpy(target, scratch.data(), rowSize);
                break;
            case Kind::kRle4:
                end = DecodeRle4Row(file, scratch.data(), rowSize);
                std::memcpy(target, scratch.data(), rowSize);
                break;
            case Kind::kNone: break;
        }
        context.RowDone();
    }
}

// Whether the file, from where its pixels start, can hold the picture its
// header declares.
bool FileCanHoldPixels(const InputFile& file, const BmpHeader& header, const PixelLayout& canvas) {
    const uint64_t coded = file.size() - std::min<uint64_t>(header.dataOffset, file.size());
    if (header.compression == kRle8) return FileCanHold(canvas, coded, kRle8Expansion);
    if (header.compression == kRle4) return FileCanHold(canvas, coded, kRle4Expansion);
    const uint64_t storedRows = static_cast<uint64_t>(RowStride(header.width, header.bitCount)) * header.height;
    return FileCanHold(storedRows, coded, expansion::kStored);
}

}  // namespace

Status ReadBmp(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kCouldNotOpen));
    BmpHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;

    CurrentImage& image = context.image;
    image.width = header.width;
    image.height = header.height;
    image.fileBitDepth = header.bitCount;
    image.palette = ReadPalette(file, header);

    const int32_t canvasDepth = (header.bitCount == 16 || header.bitCount == 32) ? 24 : header.bitCount;
    const auto layout = CheckedLayout(header.width, header.height, canvasDepth);
    if (!layout) return Status::Fail(std::string(kOutOfMemory));
    if (!FileCanHoldPixels(file, header, *layout)) return Status::Fail(std::string(kNotABitmap));
    if (!context.canvas.Create(header.width, header.height, canvasDepth, 0, image.palette)) {
        return Status::Fail(std::string(kOutOfMemory));
    }
    DecodeRows(file, header, context);
    if (header.topDown) context.canvas.FlipRows();
    return Status::Ok();
}

}  // namespace marbleye
