#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/fpx/FlashPix.h"
#include "formats/fpx/FlashPixProperties.h"
#include "formats/fpx/FlashPixStorage.h"
#include "formats/fpx/FlashPixTiles.h"
#include "io/ByteReader.h"

namespace marbleye {

namespace {

constexpr const char* kOpenMessage = "Opening Image failed!";
constexpr const char* kSummaryMessage = "GetSummaryInfo failed!";
constexpr const char* kThumbnailMemoryMessage = "Unable to allocate Thumbmemory!";
constexpr const char* kMemoryMessage = "Unable to allocate Memory!";
constexpr const char* kDecodeMessage = "Decode Error occured!";

constexpr const char* kImageContents = "\005Image Contents";
constexpr const char* kSummaryInformation = "\005SummaryInformation";
// Each resolution storage holds one subimage.
constexpr const char* kSubimageHeader = "Subimage 0000 Header";
constexpr const char* kSubimageData = "Subimage 0000 Data";

// Image Contents properties; a resolution's own ones carry its number in
// bits 16 to 23.
constexpr uint32_t kNumberOfResolutions = 0x01000000;
constexpr uint32_t kSubimageColour = 0x02000002;
constexpr uint32_t kJpegTables = 0x03000001;  // the table set's index in bits 16 to 23
// The summary information's stored picture.
constexpr uint32_t kThumbnailProperty = 17;

constexpr uint32_t kMaximumResolutions = 32;  // each halves the previous one
constexpr int32_t kMaximumTileSide = 64;
constexpr uint32_t kTileEntryBytes = 16;
// Property sets and headers are small; a stream claiming more is refused.
constexpr uint64_t kMaximumSmallStream = 64u << 20;

// A single-colour tile: one 16-byte tile table entry stands for a whole
// tile of at most 64 x 64 pixels of 4 channels.
constexpr uint64_t kSingleColourExpansion = 64 * 64 * 4 / kTileEntryBytes;

// How the channel values are read as colour.
enum class ColourSpace { kMonochrome, kPhotoYcc, kNifRgb };

struct Resolution {
    uint32_t index = 0;
    int32_t width = 0, height = 0;
    fpx::TileShape tile;
    int32_t tilesAcross = 0, tilesDown = 0;
    std::vector<fpx::TileEntry> tiles;
};

std::string ResolutionName(uint32_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "Resolution %04u", index);
    return name;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

// The image object: the root storage, or the first storage below it that
// holds the image contents.
std::unique_ptr<fpx::Storage> FindImageObject(std::unique_ptr<fpx::Storage> root, std::unique_ptr<fpx::Storage>& keep) {
    if (root->HasChild(kImageContents)) return root;
    for (const std::string& name : root->StorageNames()) {
        auto child = root->OpenStorage(name);
        if (child && child->HasChild(kImageContents)) {
            keep = std::move(root);
            return child;
        }
    }
    return nullptr;
}

bool ReadPropertySet(const fpx::Storage& storage, const char* name, fpx::PropertySet& set) {
    auto stream = storage.OpenStream(name);
    return stream && set.Parse(stream->ReadAll(kMaximumSmallStream));
}

// A resolution's header stream: its size, its tiles and their table; false
// when it does not describe a tiled picture whose table is all there.
bool ReadResolution(const fpx::Storage& image, uint32_t index, Resolution& resolution) {
    auto storage = image.OpenStorage(ResolutionName(index));
    if (!storage) return false;
    auto stream = storage->OpenStream(kSubimageHeader);
    if (!stream) return false;
    const std::vector<uint8_t> header = stream->ReadAll(kMaximumSmallStream);
    ByteReader fields(header.data(), header.size());
    fields.U32LE();  // the header's length
    const uint32_t width = fields.U32LE(), height = fields.U32LE(), tileCount = fields.U32LE();
    const uint32_t tileWidth = fields.U32LE(), tileHeight = fields.U32LE(), channels = fields.U32LE();
    const uint64_t tableOffset = fields.U32LE(), entryBytes = fields.U32LE();
    if (fields.failed()) return false;
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return false;
    if (tileWidth == 0 || tileHeight == 0 || tileWidth > kMaximumTileSide || tileHeight > kMaximumTileSide) return false;
    if (channels == 0 || channels > 4 || entryBytes < kTileEntryBytes) return false;
    const uint64_t across = (uint64_t{width} + tileWidth - 1) / tileWidth;
    const uint64_t down = (uint64_t{height} + tileHeight - 1) / tileHeight;
    if (across * down != tileCount) return false;
    if (tableOffset > header.size() || (header.size() - tableOffset) / entryBytes < tileCount) return false;
    resolution.index = index;
    resolution.width = static_cast<int32_t>(width), resolution.height = static_cast<int32_t>(height);
    resolution.tile = fpx::TileShape{static_cast<int32_t>(tileWidth), static_cast<int32_t>(tileHeight),
                                     static_cast<int32_t>(channels)};
    resolution.tilesAcross = static_cast<int32_t>(across), resolution.tilesDown = static_cast<int32_t>(down);
    resolution.tiles.resize(tileCount);
    for (uint32_t i = 0; i < tileCount; ++i) {
        // Offset in the data stream, size, compression type and subtype.
        ByteReader entry(header.data() + tableOffset + i * entryBytes, kTileEntryBytes);
        fpx::TileEntry& tile = resolution.tiles[i];
        tile.offset = entry.U32LE(), tile.size = entry.U32LE();
        tile.compression = entry.U32LE(), tile.subtype = entry.U32LE();
    }
    return true;
}

// The largest resolution the image object holds.
bool ReadHighestResolution(const fpx::Storage& image, const fpx::PropertySet& contents, Resolution& best) {
    const uint32_t declared = contents.Integer(kNumberOfResolutions).value_or(kMaximumResolutions);
    const uint32_t count = std::min(declared, kMaximumResolutions);
    bool found = false;
    for (uint32_t index = 0; index < count; ++index) {
        Resolution resolution;
        if (!ReadResolution(image, index, resolution)) continue;
        if (!found || uint64_t{static_cast<uint32_t>(resolution.width)} * resolution.height >
                          uint64_t{static_cast<uint32_t>(best.width)} * best.height) {
            best = std::move(resolution);
            found = true;
        }
    }
    return found;
}

// The colour space of the resolution's channels: the space field (bits 16 to
// 30) of the first channel's colour in the subimage colour property, whose
// last `channels` 32-bit values describe the channels. Without it, one or
// two channels are monochrome and three or four are RGB.
ColourSpace ColourOf(const fpx::PropertySet& contents, const Resolution& resolution) {
    const int32_t channels = resolution.tile.channels;
    const ColourSpace fallback = channels <= 2 ? ColourSpace::kMonochrome : ColourSpace::kNifRgb;
    const std::vector<uint8_t> blob =
        contents.Counted(kSubimageColour | resolution.index << 16, fpx::property_type::kBlob);
    if (blob.size() < static_cast<size_t>(channels) * 4) return fallback;
    const uint32_t first = U32At(blob, blob.size() - static_cast<size_t>(channels) * 4);
    switch ((first >> 16) & 0x7FFF) {
        case 1: return ColourSpace::kMonochrome;
        case 2: return channels >= 3 ? ColourSpace::kPhotoYcc : fallback;
        case 3: return channels >= 3 ? ColourSpace::kNifRgb : fallback;
        default: return fallback;
    }
}

uint8_t Clamp(double value) { return static_cast<uint8_t>(std::clamp(value + 0.5, 0.0, 255.0)); }

// One row of channel values into a canvas row (blue, green, red at 24 bits,
// grey levels at 8); an opacity channel is not shown.
void PutRow(const uint8_t* source, int32_t width, int32_t channels, ColourSpace space, uint8_t* target) {
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* p = source + static_cast<size_t>(x) * channels;
        switch (space) {
            case ColourSpace::kMonochrome: target[x] = p[0]; break;
            case ColourSpace::kNifRgb:
                target[x * 3] = p[2], target[x * 3 + 1] = p[1], target[x * 3 + 2] = p[0];
                break;
            case ColourSpace::kPhotoYcc: {
                const double luma = 1.3584 * p[0];
                const double chroma1 = 2.2179 * (p[1] - 156.0), chroma2 = 1.8215 * (p[2] - 137.0);
                target[x * 3] = Clamp(luma + chroma1);
                target[x * 3 + 1] = Clamp(luma - 0.194 * chroma1 - 0.509 * chroma2);
                target[x * 3 + 2] = Clamp(luma + chroma2);
                break;
            }
        }
    }
}

// Decodes one tile into its place in the band; false on a tile that cannot
// be read or decoded.
bool DecodeTile(fpx::StorageStream& data, const fpx::PropertySet& contents, const fpx::TileEntry& entry,
                const fpx::TileShape& shape, std::vector<uint8_t>& pixels) {
    switch (entry.compression) {
        case fpx::compression::kSingleColour: fpx::FillSingleColour(entry.subtype, shape, pixels.data()); return true;
        case fpx::compression::kUncompressed: {
            // A tile cut short keeps the rest of the tile at the fill.
            std::fill(pixels.begin(), pixels.end(), 0);
            const size_t count = std::min<size_t>(entry.size, pixels.size());
            return data.ReadAt(entry.offset, pixels.data(), count);
        }
        case fpx::compression::kJpeg: {
            if (entry.size > data.size()) return false;
            std::vector<uint8_t> coded(entry.size);
            if (!data.ReadAt(entry.offset, coded.data(), coded.size())) return false;
            std::vector<uint8_t> tables;
            if (const uint32_t index = fpx::JpegTableIndex(entry.subtype); index != 0) {
                tables = contents.Counted(kJpegTables | index << 16, fpx::property_type::kBlob);
                if (tables.empty()) return false;
            }
            std::fill(pixels.begin(), pixels.end(), 0);
            return fpx::DecodeJpegTile(tables, coded, fpx::JpegColourConverted(entry.subtype), shape, pixels.data());
        }
        default: return false;
    }
}

// Decodes the resolution band by band (one row of tiles each), top first,
// each tile straight into its place in the canvas; a tile that fails is
// reported and the rows not reached stay at the fill.
void DecodeTiles(fpx::StorageStream& data, const fpx::PropertySet& contents, const Resolution& resolution,
                 ColourSpace space, LoadContext& context) {
    const fpx::TileShape& shape = resolution.tile;
    const size_t tileStride = static_cast<size_t>(shape.width) * shape.channels;
    std::vector<uint8_t> tile(tileStride * shape.height);
    const int32_t targetPixelBytes = space == ColourSpace::kMonochrome ? 1 : 3;
    for (int32_t down = 0; down < resolution.tilesDown; ++down) {
        const int32_t top = down * shape.height;
        const int32_t rows = std::min(shape.height, resolution.height - top);
        for (int32_t across = 0; across < resolution.tilesAcross; ++across) {
            const fpx::TileEntry& entry = resolution.tiles[static_cast<size_t>(down) * resolution.tilesAcross + across];
            if (!DecodeTile(data, contents, entry, shape, tile)) {
                context.host.ReportError(kDecodeMessage);
                return;
            }
            const int32_t left = across * shape.width;
            const int32_t columns = std::min(shape.width, resolution.width - left);
            for (int32_t y = 0; y < rows; ++y) {
                uint8_t* target = context.canvas.Row(resolution.height - 1 - top - y) +
                                  static_cast<size_t>(left) * targetPixelBytes;
                PutRow(tile.data() + y * tileStride, columns, shape.channels, space, target);
            }
        }
        for (int32_t y = 0; y < rows; ++y) context.RowDone();
    }
}

// The summary information's stored picture: a clipboard picture of the
// Windows format CF_DIB, an uncompressed device-independent bitmap of 8 or
// 24 bits. False when there is none this reader can show; a picture
// declaring more than it holds is refused with the message.
constexpr int32_t kWindowsClipboard = -1;
constexpr uint32_t kClipboardDib = 8;
constexpr size_t kInfoHeaderBytes = 40;

Status ReadThumbnail(const fpx::PropertySet& summary, LoadContext& context, bool& used) {
    used = false;
    const std::vector<uint8_t> picture = summary.Counted(kThumbnailProperty, fpx::property_type::kClipboard);
    if (picture.size() < 8 + kInfoHeaderBytes) return Status::Ok();
    if (static_cast<int32_t>(U32At(picture, 0)) != kWindowsClipboard || U32At(picture, 4) != kClipboardDib) {
        return Status::Ok();
    }
    const size_t dib = 8;
    const uint32_t infoSize = U32At(picture, dib);
    const int32_t width = static_cast<int32_t>(U32At(picture, dib + 4));
    const int32_t height = static_cast<int32_t>(U32At(picture, dib + 8));
    const uint32_t planesAndBits = U32At(picture, dib + 12);
    const uint32_t bits = planesAndBits >> 16, compressionField = U32At(picture, dib + 16);
    uint32_t colours = U32At(picture, dib + 32);
    if (infoSize < kInfoHeaderBytes || compressionField != 0 || (bits != 8 && bits != 24)) return Status::Ok();
    if (width <= 0 || height == 0 || height == INT32_MIN) return Status::Ok();
    if (bits == 8 && (colours == 0 || colours > 256)) colours = 256;
    if (bits == 24) colours = 0;
    const uint64_t paletteOffset = dib + uint64_t{infoSize};
    const uint64_t pixelOffset = paletteOffset + uint64_t{colours} * 4;
    const int32_t rows = height < 0 ? -height : height;
    const auto layout = CheckedLayout(width, rows, static_cast<int32_t>(bits));
    if (!layout || pixelOffset > picture.size() || picture.size() - pixelOffset < layout->byteCount) {
        return Status::Fail(kThumbnailMemoryMessage);
    }
    Palette256 palette = GrayRamp();
    for (uint32_t i = 0; i < colours; ++i) {
        const size_t entry = static_cast<size_t>(paletteOffset + i * 4);
        palette[i * 3] = picture[entry + 2], palette[i * 3 + 1] = picture[entry + 1], palette[i * 3 + 2] = picture[entry];
    }
    if (!context.canvas.CreateFromBits(width, rows, static_cast<int32_t>(bits), picture.data() + pixelOffset, palette)) {
        return Status::Fail(kThumbnailMemoryMessage);
    }
    if (height < 0) context.canvas.FlipRows();  // stored top row first
    context.image.palette = palette;
    used = true;
    return Status::Ok();
}

}  // namespace

Status ReadFlashPix(const std::string& path, LoadContext& context) {
    auto root = fpx::Storage::OpenFile(path);
    if (!root) return Status::Fail(kOpenMessage);
    const uint64_t fileSize = root->fileSize();
    std::unique_ptr<fpx::Storage> rootHolder;
    auto image = FindImageObject(std::move(root), rootHolder);
    if (!image) return Status::Fail(kOpenMessage);
    fpx::PropertySet contents;
    if (!ReadPropertySet(*image, kImageContents, contents)) return Status::Fail(kOpenMessage);

    // The summary information belongs to the file; a document without one
    // is read all the same, one that holds a broken one is not.
    const fpx::Storage& fileRoot = rootHolder ? *rootHolder : *image;
    fpx::PropertySet summary;
    const bool hasSummary = fileRoot.HasChild(kSummaryInformation);
    if (hasSummary && !ReadPropertySet(fileRoot, kSummaryInformation, summary)) return Status::Fail(kSummaryMessage);

    Resolution resolution;
    if (!ReadHighestResolution(*image, contents, resolution)) return Status::Fail(kOpenMessage);
    CurrentImage& current = context.image;
    current.width = resolution.width;
    current.height = resolution.height;
    current.fileBitDepth = resolution.tile.channels * 8;

    if (context.options.thumbnail && hasSummary) {
        bool used = false;
        if (Status status = ReadThumbnail(summary, context, used); !status || used) return status;
    }

    const ColourSpace space = ColourOf(contents, resolution);
    const int32_t depth = space == ColourSpace::kMonochrome ? 8 : 24;
    current.palette = GrayRamp();
    const auto layout = CheckedLayout(resolution.width, resolution.height, depth);
    if (!layout || !FileCanHold(*layout, fileSize, kSingleColourExpansion) ||
        !context.canvas.Create(resolution.width, resolution.height, depth, 0, current.palette)) {
        return Status::Fail(kMemoryMessage);
    }
    auto storage = image->OpenStorage(ResolutionName(resolution.index));
    auto data = storage ? storage->OpenStream(kSubimageData) : nullptr;
    if (!data) return Status::Fail(kDecodeMessage);
    DecodeTiles(*data, contents, resolution, space, context);
    return Status::Ok();
}

}  // namespace marbleye
