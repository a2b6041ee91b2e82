#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/iff/Iff.h"
#include "formats/iff/IffBody.h"
#include "io/ByteReader.h"

namespace marbleye {

namespace {

constexpr std::string_view kCouldNotOpen = "Couldn't open IFF File!";
constexpr std::string_view kUnknownHeader = "Unkown IFF Header!";
constexpr std::string_view kPaletteError = "Palette Error!";

constexpr size_t kBitmapHeaderSize = 20;
constexpr size_t kMaxPaletteBytes = 768;

// Viewport mode bits of the CAMG chunk.
constexpr uint32_t kHoldAndModify = 0x800;
constexpr uint32_t kExtraHalfBrite = 0x80;

constexpr uint8_t kMaskPlane = 1;     // masking: a mask plane follows each row's picture planes
constexpr uint8_t kByteRun1 = 1;      // compression

Status Fail(std::string_view message) { return Status::Fail(std::string(message)); }

uint32_t BigEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
}
constexpr uint32_t Tag(const char (&name)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(name[0])) << 24 | static_cast<uint8_t>(name[1]) << 16 |
           static_cast<uint8_t>(name[2]) << 8 | static_cast<uint8_t>(name[3]);
}

bool IsContainer(uint32_t tag) {
    return tag == Tag("FORM") || tag == Tag("LIST") || tag == Tag("CAT ") || tag == Tag("PROP");
}

struct BitmapHeader {
    uint32_t width = 0, height = 0;
    int planes = 0;
    uint8_t masking = 0, compression = 0;
};

// What the chunks before the BODY said.
struct Picture {
    uint32_t formType = 0;
    bool haveHeader = false;
    BitmapHeader header;
    bool havePalette = false;
    uint32_t viewModes = 0;
};

enum class Coding { kPalette, kTrueColour, kHoldAndModify };

// The rows of the BODY as this reader decodes them.
struct RowLayout {
    bool interleaved = true;
    Coding coding = Coding::kPalette;
    int planes = 0;           // planes of a pixel, or bits of a chunky pixel
    size_t planeBytes = 0;    // bytes of one plane row (interleaved)
    size_t rowBytes = 0;      // bytes of a whole row, mask plane included
};

BitmapHeader ParseBitmapHeader(const uint8_t* bytes) {
    ByteReader fields(bytes, kBitmapHeaderSize);
    BitmapHeader header;
    header.width = fields.U16BE();
    header.height = fields.U16BE();
    fields.Skip(4);  // x, y
    header.planes = fields.U8();
    header.masking = fields.U8();
    header.compression = fields.U8();
    return header;
}

// The layout of the rows, or nothing for a picture this reader cannot show.
std::optional<RowLayout> LayoutOf(const Picture& picture) {
    const BitmapHeader& header = picture.header;
    if (header.width == 0 || header.height == 0) return std::nullopt;
    RowLayout layout;
    layout.planes = header.planes;
    layout.interleaved = picture.formType == Tag("ILBM");
    if (!layout.interleaved) {
        // Chunky rows: 4 or 8 bits a pixel, padded to an even length.
        if (header.planes != 4 && header.planes != 8) return std::nullopt;
        const size_t bytes = (static_cast<size_t>(header.width) * header.planes + 7) / 8;
        layout.rowBytes = bytes + (bytes & 1);
        return layout;
    }
    const bool ham = (picture.viewModes & kHoldAndModify) != 0 && header.planes >= 5 && header.planes <= 8;
    if (header.planes == 24) {
        layout.coding = Coding::kTrueColour;
    } else if (ham) {
        layout.coding = Coding::kHoldAndModify;
    } else if (header.planes < 1 || header.planes > 8) {
        return std::nullopt;
    }
    layout.planeBytes = (static_cast<size_t>(header.width) + 15) / 16 * 2;
    const int storedPlanes = header.planes + (header.masking == kMaskPlane ? 1 : 0);
    layout.rowBytes = layout.planeBytes * static_cast<size_t>(storedPlanes);
    return layout;
}

// The colours of a paletted picture: the CMAP's, or a grey ramp over the
// picture's values when the file has none; Extra Half-Brite pictures get
// the half-bright copies of colours 0 to 31 as colours 32 to 63.
void CompletePalette(const Picture& picture, const RowLayout& layout, Palette256& palette) {
    if (!picture.havePalette && layout.coding == Coding::kPalette) {
        const uint32_t top = (1u << layout.planes) - 1;
        for (uint32_t i = 0; i <= top; ++i) {
            const uint8_t grey = static_cast<uint8_t>(i * 255 / top);
            palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = grey;
        }
    }
    if (layout.interleaved && layout.coding == Coding::kPalette && layout.planes == 6 &&
        (picture.viewModes & kExtraHalfBrite) != 0) {
        for (size_t i = 0; i < 32 * 3; ++i) palette[32 * 3 + i] = static_cast<uint8_t>(palette[i] >> 1);
    }
}

void PutRow(const RowLayout& layout, const uint8_t* row, uint32_t width, const Palette256& palette,
            std::vector<uint32_t>& values, uint8_t* target) {
    if (!layout.interleaved) {
        if (layout.planes == 8) {
            std::memcpy(target, row, width);
        } else {
            for (uint32_t x = 0; x < width; ++x) target[x] = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
        }
        return;
    }
    iff::MergePlanes(row, layout.planeBytes, layout.planes, width, values.data());
    switch (layout.coding) {
        case Coding::kPalette:
            for (uint32_t x = 0; x < width; ++x) target[x] = static_cast<uint8_t>(values[x]);
            break;
        case Coding::kTrueColour:
            // Planes 0-7 are red, 8-15 green, 16-23 blue.
            for (uint32_t x = 0; x < width; ++x) {
                target[x * 3] = static_cast<uint8_t>(values[x] >> 16);
                target[x * 3 + 1] = static_cast<uint8_t>(values[x] >> 8);
                target[x * 3 + 2] = static_cast<uint8_t>(values[x]);
            }
            break;
        case Coding::kHoldAndModify: iff::HoldAndModify(values.data(), width, layout.planes, palette, target); break;
    }
}

// Decodes the BODY, whose bytes run to bodyEnd, into the canvas; rows a
// file cut short does not reach stay black.
void DecodeBody(InputFile& file, uint64_t bodyEnd, const Picture& picture, const RowLayout& layout,
                LoadContext& context) {
    const uint32_t width = picture.header.width;
    const int32_t height = static_cast<int32_t>(picture.header.height);
    iff::BodyBytes body(file, bodyEnd, picture.header.compression == kByteRun1);
    std::vector<uint8_t> row(layout.rowBytes);
    std::vector<uint32_t> values(width);
    for (int32_t y = 0; y < height; ++y) {
        if (!body.Read(row.data(), row.size())) return;
        PutRow(layout, row.data(), width, context.image.palette, values, context.canvas.Row(height - 1 - y));
        context.RowDone();
    }
}

Status ShowBody(InputFile& file, uint64_t bodySize, const Picture& picture, LoadContext& context) {
    if (!picture.haveHeader) return Fail(kUnknownHeader);
    const std::optional<RowLayout> layout = LayoutOf(picture);
    if (!layout) return Fail(kUnknownHeader);
    CurrentImage& image = context.image;
    CompletePalette(picture, *layout, image.palette);

    const uint64_t bodyEnd = std::min(file.Tell() + bodySize, file.size());
    const uint64_t decoded = static_cast<uint64_t>(layout->rowBytes) * picture.header.height;
    const uint64_t expansion =
        picture.header.compression == kByteRun1 ? iff::kByteRun1Expansion : expansion::kStored;
    if (!FileCanHold(decoded, bodyEnd - file.Tell(), expansion)) return Fail(kUnknownHeader);

    const bool trueColour = layout->coding != Coding::kPalette;
    image.width = static_cast<int32_t>(picture.header.width);
    image.height = static_cast<int32_t>(picture.header.height);
    image.fileBitDepth = trueColour ? 24 : layout->planes;
    if (!context.canvas.Create(image.width, image.height, trueColour ? 24 : 8, 0, image.palette)) {
        return Fail(kUnknownHeader);
    }
    DecodeBody(file, bodyEnd, picture, *layout, context);
    return Status::Ok();
}

// Skips the rest of a chunk of size bytes, of which read were read, and its
// pad byte; false past the end of the file.
bool SkipChunk(InputFile& file, uint64_t size, uint64_t read = 0) {
    const uint64_t next = file.Tell() + (size - read) + (size & 1);
    return next <= file.size() && file.Seek(next);
}

}  // namespace

Status ReadIff(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Fail(kCouldNotOpen);
    uint8_t start[12];
    if (!file.ReadExact(start, sizeof start) || !IsContainer(BigEndian32(start)) || BigEndian32(start) == Tag("PROP")) {
        return Fail(kUnknownHeader);
    }
    Picture picture;
    picture.formType = BigEndian32(start + 8);
    context.image.palette = Palette256{};

    // The chunks in order; a FORM, LIST, CAT or PROP inside is entered, so
    // the first picture of a list or catalogue is shown.
    uint8_t chunk[8];
    while (file.ReadExact(chunk, sizeof chunk)) {
        const uint32_t tag = BigEndian32(chunk);
        const uint64_t size = BigEndian32(chunk + 4);
        if (IsContainer(tag)) {
            uint8_t type[4];
            if (!file.ReadExact(type, sizeof type)) break;
            if (tag == Tag("FORM")) picture.formType = BigEndian32(type);
            continue;
        }
        if (tag == Tag("BODY")) return ShowBody(file, size, picture, context);
        if (tag == Tag("BMHD")) {
            uint8_t bytes[kBitmapHeaderSize];
            if (size < kBitmapHeaderSize || !file.ReadExact(bytes, sizeof bytes)) return Fail(kUnknownHeader);
            picture.header = ParseBitmapHeader(bytes);
            picture.haveHeader = true;
            if (!SkipChunk(file, size, kBitmapHeaderSize)) break;
        } else if (tag == Tag("CMAP")) {
            const size_t kept = static_cast<size_t>(std::min<uint64_t>(size, kMaxPaletteBytes));
            context.image.palette = Palette256{};
            if (!file.ReadExact(context.image.palette.data(), kept)) return Fail(kPaletteError);
            picture.havePalette = true;
            if (!SkipChunk(file, size, kept)) break;
        } else if (tag == Tag("CAMG") && size >= 4) {
            uint8_t modes[4];
            if (!file.ReadExact(modes, sizeof modes)) break;
            picture.viewModes = BigEndian32(modes);
            if (!SkipChunk(file, size, 4)) break;
        } else if (!SkipChunk(file, size)) {
            break;
        }
    }
    return Fail(kUnknownHeader);
}

}  // namespace marbleye
