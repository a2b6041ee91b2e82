#include "formats/icon/IconDecoder.h"

#include <algorithm>

#include "canvas/PixelLimits.h"
#include "io/ByteReader.h"

namespace marbleye::icon {

IconScaler::IconScaler(int32_t sourceWidth, int32_t sourceHeight)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      columnGrowth_(Growth(sourceWidth)),
      rowGrowth_(Growth(sourceHeight)) {
    colours_.fill(0xFFFFFFFF);
    transparent_.fill(1);
}

// Each target pixel takes the source pixel under its centre. A side that
// shrinks needs no table: each source pixel goes to the target pixel under
// its centre (Targets).
std::vector<IconScaler::Span> IconScaler::Growth(int32_t source) {
    if (source <= 0 || source > kIconSide) return {};
    std::vector<Span> spans(static_cast<size_t>(source));
    for (int32_t d = 0; d < kIconSide; ++d) {
        Span& span = spans[static_cast<size_t>((2 * d * source + source - 1) / (2 * kIconSide))];
        if (span.end == 0) span.first = d;
        span.end = d + 1;
    }
    return spans;
}

void DrawOnWhite(const IconScaler& icon, bool alpha, uint8_t* bgr) {
    for (int32_t y = 0; y < kIconSide; ++y) {
        for (int32_t x = 0; x < kIconSide; ++x) {
            const uint32_t colour = icon.colour(x, y);
            const uint32_t a = colour >> 24;
            const uint32_t screen = icon.transparent(x, y) ? 0xFF : 0;
            uint8_t* out = bgr + (y * kIconSide + x) * 3;
            for (int c = 0; c < 3; ++c) {
                const uint32_t value = (colour >> (8 * c)) & 0xFF;
                out[c] = static_cast<uint8_t>(alpha ? (value * a + 255 * (255 - a) + 127) / 255 : value ^ screen);
            }
        }
    }
}

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBitFieldsHeaderSize = 52;  // an info header with its three masks inside
constexpr uint32_t kCompressionNone = 0, kCompressionBitFields = 3;

// One colour channel given by a bit mask, widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0, width = 0;

    static Channel Of(uint32_t mask) {
        Channel channel{mask, 0, 0};
        if (mask == 0) return channel;
        while (!((mask >> channel.shift) & 1)) ++channel.shift;
        while (channel.shift + channel.width < 32 && ((mask >> (channel.shift + channel.width)) & 1)) ++channel.width;
        return channel;
    }
    // Narrow channels repeat their bits: 5 bits abcde become abcdeabc.
    uint32_t Take(uint32_t value) const {
        if (width == 0) return 0;
        const uint32_t v = (value & mask) >> shift;
        if (width >= 8) return v >> (width - 8);
        uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += width) {
            out |= filled + width <= 8 ? v << (8 - filled - width) : v >> (filled + width - 8);
        }
        return out & 0xFF;
    }
};

struct BitmapLayout {
    int32_t width = 0, height = 0, bits = 0;
    bool bitFields = false;
    Channel red, green, blue;
    uint32_t palette[256] = {};
    uint64_t colourRows = 0;  // file offset of the bottom colour row
    uint64_t maskRows = 0;    // file offset of the bottom mask row
    size_t colourStride = 0, maskStride = 0;
};

bool ReadLayout(InputFile& file, const IconCandidate& entry, BitmapLayout& layout) {
    uint8_t header[kBitFieldsHeaderSize] = {};
    if (!file.Seek(entry.offset)) return false;
    ByteReader fields(header, file.Read(header, sizeof header));
    const uint32_t headerSize = fields.U32LE();
    int64_t width = 0, doubledHeight = 0;
    uint32_t compression = kCompressionNone, coloursUsed = 0;
    if (headerSize == kCoreHeaderSize) {
        width = fields.U16LE(), doubledHeight = fields.U16LE();
        fields.U16LE();  // planes
        layout.bits = fields.U16LE();
    } else if (headerSize >= kInfoHeaderSize) {
        width = fields.I32LE(), doubledHeight = fields.I32LE();
        fields.U16LE();  // planes
        layout.bits = fields.U16LE();
        compression = fields.U32LE();
        fields.Skip(12);  // image size, resolution
        coloursUsed = fields.U32LE();
        fields.U32LE();  // important colours
    } else {
        return false;
    }
    if (fields.failed() || width <= 0 || doubledHeight < 2) return false;
    const int32_t bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    layout.bitFields = compression == kCompressionBitFields && (bits == 16 || bits == 32);
    if (compression != kCompressionNone && !layout.bitFields) return false;
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(doubledHeight / 2);
    if (!CheckedLayout(layout.width, layout.height, 32)) return false;

    uint64_t position = uint64_t{entry.offset} + headerSize;
    if (layout.bitFields) {
        uint32_t masks[3] = {};
        if (headerSize >= kBitFieldsHeaderSize) {
            for (uint32_t& mask : masks) mask = fields.U32LE();
        } else {
            uint8_t bytes[12];
            if (!file.Seek(position) || !file.ReadExact(bytes, sizeof bytes)) return false;
            ByteReader maskFields(bytes, sizeof bytes);
            for (uint32_t& mask : masks) mask = maskFields.U32LE();
            position += sizeof bytes;
        }
        layout.red = Channel::Of(masks[0]), layout.green = Channel::Of(masks[1]), layout.blue = Channel::Of(masks[2]);
    } else if (bits == 16) {
        layout.red = Channel::Of(0x7C00), layout.green = Channel::Of(0x03E0), layout.blue = Channel::Of(0x001F);
    }
    if (bits <= 8) {
        const uint32_t entries = coloursUsed != 0 ? coloursUsed : 1u << bits;
        if (entries > 256) return false;
        const size_t entrySize = headerSize == kCoreHeaderSize ? 3 : 4;
        uint8_t bytes[256 * 4];
        if (!file.Seek(position) || !file.ReadExact(bytes, entries * entrySize)) return false;
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* p = bytes + i * entrySize;
            layout.palette[i] = p[0] | (p[1] << 8) | (p[2] << 16);
        }
        position += entries * entrySize;
    }
    layout.colourStride = static_cast<size_t>(RowStride(layout.width, bits));
    layout.maskStride = static_cast<size_t>(RowStride(layout.width, 1));
    layout.colourRows = position;
    layout.maskRows = position + static_cast<uint64_t>(layout.colourStride) * layout.height;
    // The system takes an icon only when its mask rows are there to the end.
    const uint64_t end = layout.maskRows + static_cast<uint64_t>(layout.maskStride) * layout.height;
    return end <= file.size();
}

// Pixel x of a colour row as blue, green, red, alpha.
uint32_t ColourAt(const BitmapLayout& layout, const uint8_t* row, int32_t x) {
    const auto fields = [&layout](uint32_t value) {
        return layout.blue.Take(value) | layout.green.Take(value) << 8 | layout.red.Take(value) << 16;
    };
    switch (layout.bits) {
        case 1: return layout.palette[(row[x / 8] >> (7 - x % 8)) & 1];
        case 4: return layout.palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
        case 8: return layout.palette[row[x]];
        case 16: return fields(row[x * 2] | row[x * 2 + 1] << 8);
        case 24: return row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16;
        default: {
            const uint8_t* p = row + static_cast<size_t>(x) * 4;
            const uint32_t value = p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
            return layout.bitFields ? fields(value) | (value & 0xFF000000) : value;
        }
    }
}

}  // namespace

bool DrawBitmapImage(InputFile& file, const IconCandidate& entry, LoadContext& context, uint8_t* bgr) {
    BitmapLayout layout;
    if (!ReadLayout(file, entry, layout)) return false;
    // Two rows of the file's own bytes are all that is held of the image.
    std::vector<uint8_t> colourRow(layout.colourStride), maskRow(layout.maskStride);
    IconScaler scaler(layout.width, layout.height);
    bool alpha = false;
    for (int32_t row = 0; row < layout.height; ++row) {
        if (!file.Seek(layout.colourRows + static_cast<uint64_t>(row) * layout.colourStride) ||
            !file.ReadExact(colourRow.data(), colourRow.size()) ||
            !file.Seek(layout.maskRows + static_cast<uint64_t>(row) * layout.maskStride) ||
            !file.ReadExact(maskRow.data(), maskRow.size())) {
            return false;
        }
        scaler.BeginRow(layout.height - 1 - row);
        for (int32_t x = 0; x < layout.width; ++x) {
            const uint32_t colour = ColourAt(layout, colourRow.data(), x);
            if (layout.bits == 32 && (colour >> 24) != 0) alpha = true;
            scaler.Add(x, colour, (maskRow[x / 8] >> (7 - x % 8)) & 1);
        }
        context.RowDone();
    }
    DrawOnWhite(scaler, alpha, bgr);
    return true;
}

}  // namespace marbleye::icon
