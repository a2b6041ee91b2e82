#include <algorithm>
#include <cstring>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/dds/Dds.h"
#include "formats/dds/DdsBlocks.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr char kBadMagic[] = "Not a valid DDS-File (wrong MagicNumber)!";
constexpr char kDecodeError[] = "Decompression Error occured!";

// The magic "DDS " and the 124-byte surface description after it.
constexpr size_t kHeaderBytes = 128;
constexpr size_t kExtendedHeaderBytes = 20;

// Pixel format flags.
constexpr uint32_t kAlphaPixels = 0x1, kFourCc = 0x4, kRgb = 0x40, kLuminance = 0x20000;

// How many canvas bytes one byte of surface data can stand for: a BC1 block
// of 8 bytes gives 16 pixels of 4 bytes, a BC2 or BC3 block of 16 bytes the
// same, one byte of an 8-bit surface a 4-byte pixel.
constexpr uint64_t kBc1Expansion = 8;
constexpr uint64_t kBc23Expansion = 4;
constexpr uint64_t kMaskExpansion = 4;

constexpr uint32_t FourCc(const char (&text)[5]) {
    return static_cast<uint32_t>(text[0]) | (static_cast<uint32_t>(text[1]) << 8) |
           (static_cast<uint32_t>(text[2]) << 16) | (static_cast<uint32_t>(text[3]) << 24);
}

enum class Coding { kMasks, kBc1, kBc2, kBc3 };

struct Masks {
    uint32_t bitCount = 0;
    uint32_t red = 0, green = 0, blue = 0, alpha = 0;
    bool luminance = false;
};

struct Surface {
    uint32_t width = 0, height = 0;
    Coding coding = Coding::kMasks;
    Masks masks;
    bool alpha = false;  // masks with an alpha channel, BC2, BC3
    uint64_t dataOffset = kHeaderBytes;
};

// The uncompressed formats of the extended header, as masks.
bool MasksOfDxgiFormat(uint32_t format, Masks& masks) {
    switch (format) {
        case 27: case 28: case 29:  // R8G8B8A8
            masks = {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u};
            return true;
        case 87: case 90: case 91:  // B8G8R8A8
            masks = {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
            return true;
        case 88: case 92: case 93:  // B8G8R8X8
            masks = {32, 0xFF0000, 0xFF00, 0xFF, 0};
            return true;
        case 24: case 25:  // R10G10B10A2
            masks = {32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000u};
            return true;
        case 85:  // B5G6R5
            masks = {16, 0xF800, 0x7E0, 0x1F, 0};
            return true;
        case 86:  // B5G5R5A1
            masks = {16, 0x7C00, 0x3E0, 0x1F, 0x8000};
            return true;
        case 115:  // B4G4R4A4
            masks = {16, 0xF00, 0xF0, 0xF, 0xF000};
            return true;
        default: return false;
    }
}

Status ReadExtendedHeader(InputFile& file, Surface& surface) {
    uint8_t bytes[kExtendedHeaderBytes];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    const uint32_t format = fields.U32LE();
    if (fields.failed()) return Status::Fail(kDecodeError);
    surface.dataOffset = kHeaderBytes + kExtendedHeaderBytes;
    if (format >= 70 && format <= 72) {
        surface.coding = Coding::kBc1;
    } else if (format >= 73 && format <= 75) {
        surface.coding = Coding::kBc2;
    } else if (format >= 76 && format <= 78) {
        surface.coding = Coding::kBc3;
    } else if (MasksOfDxgiFormat(format, surface.masks)) {
        surface.coding = Coding::kMasks;
    } else {
        return Status::Fail(kDecodeError);
    }
    return Status::Ok();
}

Status ReadHeader(InputFile& file, Surface& surface) {
    uint8_t bytes[kHeaderBytes];
    const size_t got = file.Read(bytes, sizeof bytes);
    if (got < 4 || std::memcmp(bytes, "DDS ", 4) != 0) return Status::Fail(kBadMagic);
    ByteReader fields(bytes, got);
    fields.Skip(4 + 4 + 4);  // magic, description size, flags
    surface.height = fields.U32LE();
    surface.width = fields.U32LE();
    fields.Skip(4 + 4 + 4 + 11 * 4 + 4);  // pitch, depth, mip count, reserved, pixel format size
    const uint32_t formatFlags = fields.U32LE();
    const uint32_t fourCc = fields.U32LE();
    Masks& masks = surface.masks;
    masks.bitCount = fields.U32LE();
    masks.red = fields.U32LE(), masks.green = fields.U32LE(), masks.blue = fields.U32LE();
    masks.alpha = fields.U32LE();
    if (fields.failed() || got < kHeaderBytes) return Status::Fail(kDecodeError);
    if (surface.width == 0 || surface.height == 0 || surface.width > INT32_MAX || surface.height > INT32_MAX) {
        return Status::Fail(kDecodeError);
    }

    if (formatFlags & kFourCc) {
        if (fourCc == FourCc("DXT1")) {
            surface.coding = Coding::kBc1;
        } else if (fourCc == FourCc("DXT2") || fourCc == FourCc("DXT3")) {
            surface.coding = Coding::kBc2;
        } else if (fourCc == FourCc("DXT4") || fourCc == FourCc("DXT5")) {
            surface.coding = Coding::kBc3;
        } else if (fourCc == FourCc("DX10")) {
            if (Status status = ReadExtendedHeader(file, surface); !status) return status;
        } else {
            return Status::Fail(kDecodeError);
        }
    } else if (formatFlags & (kRgb | kLuminance)) {
        masks.luminance = (formatFlags & kLuminance) != 0;
        if (!(formatFlags & kAlphaPixels)) masks.alpha = 0;
        if (masks.luminance) masks.green = masks.blue = masks.red;
    } else {
        return Status::Fail(kDecodeError);
    }

    if (surface.coding == Coding::kMasks) {
        const uint32_t bits = masks.bitCount;
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return Status::Fail(kDecodeError);
        const uint64_t allBits = bits == 32 ? 0xFFFFFFFFu : (uint64_t{1} << bits) - 1;
        for (uint32_t* mask : {&masks.red, &masks.green, &masks.blue, &masks.alpha}) *mask &= allBits;
        if ((masks.red | masks.green | masks.blue) == 0) return Status::Fail(kDecodeError);
        surface.alpha = masks.alpha != 0;
    } else {
        surface.alpha = surface.coding != Coding::kBc1;
    }
    return Status::Ok();
}

uint64_t BlockBytes(Coding coding) { return coding == Coding::kBc1 ? dds::kBc1BlockBytes : dds::kBc2BlockBytes; }

// One channel of a masked pixel as 8 bits: wider fields keep their top
// eight bits, narrower ones are scaled to 0..255 (rounded down).
class Channel {
public:
    explicit Channel(uint32_t mask) {
        if (mask == 0) return;
        while (!((mask >> shift_) & 1)) ++shift_;
        max_ = mask >> shift_;
        while ((max_ >> drop_) > 0xFF) ++drop_;
    }
    uint8_t Of(uint32_t pixel) const {
        if (max_ == 0) return 0;
        const uint64_t value = (pixel >> shift_) & max_;
        if (drop_ > 0 || max_ == 0xFF) return static_cast<uint8_t>(value >> drop_);
        return static_cast<uint8_t>(value * 255 / max_);
    }

private:
    int shift_ = 0, drop_ = 0;
    uint64_t max_ = 0;
};

// Rows stored with bit masks, top row first.
bool DecodeMaskedRows(InputFile& file, const Surface& surface, LoadContext& context) {
    const Masks& masks = surface.masks;
    const Channel red(masks.red), green(masks.green), blue(masks.blue), alpha(masks.alpha);
    const size_t pixelBytes = masks.bitCount / 8;
    const int32_t width = static_cast<int32_t>(surface.width), height = static_cast<int32_t>(surface.height);
    const size_t canvasBytes = context.canvas.bitsPerPixel() / 8;
    std::vector<uint8_t> row(pixelBytes * surface.width);
    for (int32_t y = 0; y < height; ++y) {
        if (!file.ReadExact(row.data(), row.size())) return false;
        uint8_t* target = context.canvas.Row(height - 1 - y);
        const uint8_t* source = row.data();
        for (int32_t x = 0; x < width; ++x, source += pixelBytes, target += canvasBytes) {
            uint32_t pixel = 0;
            for (size_t i = 0; i < pixelBytes; ++i) pixel |= static_cast<uint32_t>(source[i]) << (8 * i);
            target[0] = blue.Of(pixel);
            target[1] = green.Of(pixel);
            target[2] = red.Of(pixel);
            if (canvasBytes == 4) target[3] = alpha.Of(pixel);
        }
        context.RowDone();
    }
    return true;
}

// Whether any block of a BC1 surface uses its transparent code: only those
// surfaces need the 32-bit canvas.
bool Bc1UsesTransparency(InputFile& file, const Surface& surface) {
    const uint64_t blocks = static_cast<uint64_t>((surface.width + 3) / 4) * ((surface.height + 3) / 4);
    uint8_t block[dds::kBc1BlockBytes];
    bool found = false;
    for (uint64_t i = 0; i < blocks && !found; ++i) {
        if (!file.ReadExact(block, sizeof block)) break;
        found = dds::Bc1HasTransparency(block);
    }
    file.Seek(surface.dataOffset);
    return found;
}

// Block rows, top first; each fills up to four canvas rows.
bool DecodeBlockRows(InputFile& file, const Surface& surface, LoadContext& context) {
    const uint32_t blocksAcross = (surface.width + 3) / 4, blockRows = (surface.height + 3) / 4;
    const size_t blockBytes = BlockBytes(surface.coding);
    const int32_t height = static_cast<int32_t>(surface.height);
    const size_t canvasBytes = context.canvas.bitsPerPixel() / 8;
    std::vector<uint8_t> data(blockBytes * blocksAcross);
    dds::Texels texels;
    for (uint32_t blockRow = 0; blockRow < blockRows; ++blockRow) {
        if (!file.ReadExact(data.data(), data.size())) return false;
        for (uint32_t bx = 0; bx < blocksAcross; ++bx) {
            const uint8_t* block = data.data() + bx * blockBytes;
            switch (surface.coding) {
                case Coding::kBc1: dds::DecodeBc1(block, texels); break;
                case Coding::kBc2: dds::DecodeBc2(block, texels); break;
                default: dds::DecodeBc3(block, texels); break;
            }
            for (uint32_t ty = 0; ty < 4; ++ty) {
                const uint32_t y = blockRow * 4 + ty;
                if (y >= surface.height) break;
                uint8_t* target = context.canvas.Row(height - 1 - static_cast<int32_t>(y));
                for (uint32_t tx = 0; tx < 4; ++tx) {
                    const uint32_t x = bx * 4 + tx;
                    if (x >= surface.width) break;
                    const uint8_t* texel = texels.rgba[ty * 4 + tx];
                    uint8_t* pixel = target + x * canvasBytes;
                    pixel[0] = texel[2];
                    pixel[1] = texel[1];
                    pixel[2] = texel[0];
                    if (canvasBytes == 4) pixel[3] = texel[3];
                }
            }
        }
        for (uint32_t ty = 0; ty < 4 && blockRow * 4 + ty < surface.height; ++ty) context.RowDone();
    }
    return true;
}

// Bytes of the top level's first row of pixels or of blocks, and of the
// whole top level.
uint64_t FirstRowBytes(const Surface& surface) {
    if (surface.coding == Coding::kMasks) return uint64_t{surface.width} * (surface.masks.bitCount / 8);
    return uint64_t{(surface.width + 3) / 4} * BlockBytes(surface.coding);
}

uint64_t Expansion(Coding coding) {
    switch (coding) {
        case Coding::kBc1: return kBc1Expansion;
        case Coding::kBc2: case Coding::kBc3: return kBc23Expansion;
        default: return kMaskExpansion;
    }
}

int32_t StoredBits(const Surface& surface) {
    switch (surface.coding) {
        case Coding::kBc1: return 4;
        case Coding::kBc2: case Coding::kBc3: return 8;
        default: return static_cast<int32_t>(surface.masks.bitCount);
    }
}

}  // namespace

Status ReadDds(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open File!");
    Surface surface;
    if (Status status = ReadHeader(file, surface); !status) return status;

    // What the header declares must fit the data the file holds before the
    // canvas is made: at least one row, and the picture within the coding's
    // expansion of the data.
    const uint64_t dataBytes = file.size() > surface.dataOffset ? file.size() - surface.dataOffset : 0;
    const uint64_t pixelBytes = surface.alpha ? 4 : 3;
    const uint64_t decoded = uint64_t{surface.width} * surface.height * pixelBytes;
    if (dataBytes < FirstRowBytes(surface) || !FileCanHold(decoded, dataBytes, Expansion(surface.coding))) {
        return Status::Fail(kDecodeError);
    }
    bool alpha = surface.alpha;
    if (surface.coding == Coding::kBc1) alpha = Bc1UsesTransparency(file, surface);

    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(surface.width);
    image.height = static_cast<int32_t>(surface.height);
    image.fileBitDepth = StoredBits(surface);
    image.palette = Palette256{};
    if (!context.canvas.Create(image.width, image.height, alpha ? 32 : 24, 0, image.palette)) {
        return Status::Fail(kDecodeError);
    }
    const bool complete = surface.coding == Coding::kMasks ? DecodeMaskedRows(file, surface, context)
                                                           : DecodeBlockRows(file, surface, context);
    if (!complete) context.host.ReportError(kDecodeError);
    return Status::Ok();
}

}  // namespace marbleye
