#include <algorithm>
#include <cassert>
#include <cstring>
#include <string_view>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/psd/Photoshop.h"
#include "formats/psd/PhotoshopColour.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kCannotOpen = "Unable to open file!";
constexpr std::string_view kNotPhotoshop = "Thats not a valid PSD file!";
constexpr std::string_view kBadChannelCount = "Not supported or Invalid Channel Count!";
constexpr std::string_view kBadColourMode = "ColorMode not supported!";
constexpr std::string_view kBadCompression = "PSD CompressionType not supported!";

constexpr size_t kHeaderSize = 26;
constexpr uint16_t kMaxChannels = 16;
constexpr uint16_t kCompressionRaw = 0, kCompressionPackBits = 1;

// A two-byte PackBits packet repeats one byte up to 128 times.
constexpr uint64_t kPackBitsExpansion = 64;

enum ColourMode : uint16_t {
    kBitmap = 0,
    kGray = 1,
    kIndexed = 2,
    kRgb = 3,
    kCmyk = 4,
    kMultichannel = 7,
    kDuotone = 8,
    kLab = 9,
};

struct PsdHeader {
    uint16_t channels = 0;
    uint32_t height = 0, width = 0;
    uint16_t bitsPerChannel = 0;
    uint16_t mode = 0;

    // Bytes of one stored row of one channel.
    size_t rowBytes() const {
        return bitsPerChannel == 1 ? (width + 7) / 8 : static_cast<size_t>(width) * (bitsPerChannel / 8);
    }
};

// How the stored channels reach the canvas.
struct ChannelPlan {
    int32_t canvasDepth = 0;
    uint16_t channelsUsed = 0;  // the first channels, in file order
};

Status ReadHeader(InputFile& file, PsdHeader& header) {
    uint8_t bytes[kHeaderSize];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    const uint32_t signature = fields.U32BE();
    const uint16_t version = fields.U16BE();
    fields.Skip(6);  // reserved
    header.channels = fields.U16BE();
    header.height = fields.U32BE(), header.width = fields.U32BE();
    header.bitsPerChannel = fields.U16BE();
    header.mode = fields.U16BE();
    // "8BPS"; version 2 is the large-document variant, whose section lengths
    // and row counts are wider: it is not read.
    if (fields.failed() || signature != 0x38425053 || version != 1) return Status::Fail(std::string(kNotPhotoshop));
    if (header.channels == 0 || header.channels > kMaxChannels) return Status::Fail(std::string(kBadChannelCount));
    switch (header.mode) {
        case kBitmap: case kGray: case kIndexed: case kRgb: case kCmyk: case kMultichannel: case kDuotone: case kLab:
            break;
        default: return Status::Fail(std::string(kBadColourMode));
    }
    const uint16_t bits = header.bitsPerChannel;
    const bool bitsFitMode = header.mode == kBitmap ? bits == 1 : (bits == 8 || bits == 16 || bits == 32);
    if (!bitsFitMode || header.width == 0 || header.height == 0 || header.width > INT32_MAX ||
        header.height > INT32_MAX) {
        return Status::Fail(std::string(kNotPhotoshop));
    }
    return Status::Ok();
}

// Channels 0, 1 and 2 are red, green and blue and channel 3 the fourth byte,
// with 16- and 32-bit channels shown at 8 bits. The colour mode says how many
// channels make the colour: grey, duotone and indexed pictures keep their
// first channel at 8 bits whatever follows, CMYK needs its black as the
// fourth channel and takes a fifth as the fourth byte.
Status PlanChannels(const PsdHeader& header, ChannelPlan& plan) {
    const uint16_t channels = header.channels;
    switch (header.mode) {
        case kBitmap: plan = {1, 1}; break;
        case kGray: case kDuotone: case kIndexed: plan = {8, 1}; break;
        case kRgb: case kLab:
            if (channels < 3) return Status::Fail(std::string(kBadChannelCount));
            plan = {channels == 3 ? 24 : 32, std::min<uint16_t>(channels, 4)};
            break;
        case kCmyk:
            if (channels < 4) return Status::Fail(std::string(kBadChannelCount));
            plan = {32, std::min<uint16_t>(channels, 5)};
            break;
        default:  // multichannel: as many colour channels as there are, up to four
            if (channels <= 2) plan = {8, 1};
            else plan = {channels == 3 ? 24 : 32, std::min<uint16_t>(channels, 4)};
    }
    return Status::Ok();
}

// Reads a section length and the section, or skips it; false when the file
// ends inside it.
bool SkipSection(InputFile& file) {
    uint8_t bytes[4];
    ByteReader field(bytes, file.Read(bytes, sizeof bytes));
    const uint32_t length = field.U32BE();
    if (field.failed() || length > file.size() - file.Tell()) return false;
    return file.Skip(length);
}

// The colour mode data: the 768-byte colour table of indexed pictures (all
// reds, then all greens, then all blues), skipped in the other modes.
Status ReadColourModeData(InputFile& file, const PsdHeader& header, Palette256& palette) {
    palette = header.mode == kBitmap ? Palette256{} : GrayRamp();
    if (header.mode == kBitmap) palette[0] = palette[1] = palette[2] = 255;  // Photoshop's 1 is black
    if (header.mode != kIndexed) {
        return SkipSection(file) ? Status::Ok() : Status::Fail(std::string(kNotPhotoshop));
    }
    uint8_t bytes[4];
    ByteReader field(bytes, file.Read(bytes, sizeof bytes));
    const uint32_t length = field.U32BE();
    uint8_t table[768];
    if (field.failed() || length < sizeof table || length > file.size() - file.Tell() ||
        !file.ReadExact(table, sizeof table)) {
        return Status::Fail(std::string(kNotPhotoshop));
    }
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c) palette[i * 3 + c] = table[c * 256 + i];
    }
    file.Skip(length - sizeof table);
    return Status::Ok();
}

// The stored rows of every channel, one channel after another, as they are
// or PackBits coded row by row.
class ChannelRows {
public:
    ChannelRows(InputFile& file, bool packBits) : file_(file), packBits_(packBits) {}

    // Fills one stored row; false when the data ended first.
    bool Read(uint8_t* row, size_t size) {
        if (!packBits_) return file_.ReadExact(row, size);
        size_t filled = 0;
        while (filled < size) {
            const int code = file_.ReadByte();
            if (code < 0) return false;
            if (code < 128) {
                // Literal bytes; those past the row's end are dropped.
                const size_t count = static_cast<size_t>(code) + 1, kept = std::min(count, size - filled);
                if (!file_.ReadExact(row + filled, kept)) return false;
                file_.Skip(count - kept);
                filled += kept;
            } else if (code > 128) {
                const int value = file_.ReadByte();
                if (value < 0) return false;
                const size_t count = std::min<size_t>(257 - code, size - filled);
                std::memset(row + filled, value, count);
                filled += count;
            }  // 128 is no packet
        }
        return true;
    }

private:
    InputFile& file_;
    bool packBits_;
};

// One stored row at 8 bits a sample: 16-bit samples give their high byte,
// 32-bit floating-point samples their value scaled to 0..255.
void ToEightBits(const PsdHeader& header, const uint8_t* stored, uint8_t* samples) {
    const uint32_t width = header.width;
    switch (header.bitsPerChannel) {
        case 16:
            for (uint32_t x = 0; x < width; ++x) samples[x] = stored[x * 2];
            break;
        case 32:
            for (uint32_t x = 0; x < width; ++x) samples[x] = FloatSampleToByte(stored + x * 4);
            break;
        default: std::memcpy(samples, stored, header.rowBytes());
    }
}

// Puts one channel's row into its canvas row. Pixels are blue, green, red
// and the fourth byte; Lab and CMYK pixels become RGB once their last colour
// channel arrives (the channels come in order).
void PutChannel(const PsdHeader& header, int32_t canvasDepth, uint16_t channel, const uint8_t* samples,
                uint8_t* target) {
    const uint32_t width = header.width;
    if (canvasDepth <= 8) {
        std::memcpy(target, samples, canvasDepth == 1 ? header.rowBytes() : width);
        return;
    }
    const size_t step = static_cast<size_t>(canvasDepth / 8);
    if (header.mode == kCmyk && channel >= 3) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* pixel = target + x * step;
            if (channel == 4) {
                pixel[3] = samples[x];
                continue;
            }
            for (int c = 0; c < 3; ++c) pixel[c] = UnderBlack(pixel[c], samples[x]);
            pixel[3] = 255;  // opaque unless an alpha channel follows
        }
        return;
    }
    if (header.mode == kLab && channel == 2) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* pixel = target + x * step;
            const auto rgb = LabToRgb(pixel[2], pixel[1], samples[x]);
            pixel[0] = rgb[2], pixel[1] = rgb[1], pixel[2] = rgb[0];
        }
        return;
    }
    const size_t slot = channel < 3 ? 2 - channel : 3;
    for (uint32_t x = 0; x < width; ++x) target[x * step + slot] = samples[x];
}

// Decodes the channels the canvas takes, rows from the top; a file that ends
// early leaves what it did not reach at the fill.
void DecodeChannels(InputFile& file, const PsdHeader& header, const ChannelPlan& plan, bool packBits,
                    LoadContext& context) {
    const int32_t height = static_cast<int32_t>(header.height);
    std::vector<uint8_t> stored(header.rowBytes()), samples(std::max<size_t>(header.rowBytes(), header.width));
    ChannelRows rows(file, packBits);
    for (uint16_t channel = 0; channel < plan.channelsUsed; ++channel) {
        for (int32_t y = 0; y < height; ++y) {
            if (!rows.Read(stored.data(), stored.size())) return;
            ToEightBits(header, stored.data(), samples.data());
            PutChannel(header, plan.canvasDepth, channel, samples.data(), context.canvas.Row(height - 1 - y));
            context.RowDone();
        }
    }
}

}  // namespace

Status ReadPhotoshop(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kCannotOpen));
    PsdHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;
    ChannelPlan plan;
    if (Status status = PlanChannels(header, plan); !status) return status;
    CurrentImage& image = context.image;
    if (Status status = ReadColourModeData(file, header, image.palette); !status) return status;
    // The image resources, then the layers and masks: the merged picture
    // that follows is all that is shown.
    if (!SkipSection(file) || !SkipSection(file)) return Status::Fail(std::string(kNotPhotoshop));

    uint8_t bytes[2];
    ByteReader field(bytes, file.Read(bytes, sizeof bytes));
    const uint16_t compression = field.U16BE();
    if (field.failed()) return Status::Fail(std::string(kNotPhotoshop));
    if (compression != kCompressionRaw && compression != kCompressionPackBits) {
        return Status::Fail(std::string(kBadCompression));
    }
    const bool packBits = compression == kCompressionPackBits;
    if (packBits) file.Skip(uint64_t{header.height} * header.channels * 2);  // the row byte counts

    image.width = static_cast<int32_t>(header.width);
    image.height = static_cast<int32_t>(header.height);
    image.fileBitDepth = plan.canvasDepth;
    const auto layout = CheckedLayout(image.width, image.height, plan.canvasDepth);
    if (!layout || !FileCanHold(*layout, file.size() - file.Tell(), packBits ? kPackBitsExpansion : expansion::kStored) ||
        !context.canvas.Create(image.width, image.height, plan.canvasDepth, 0, image.palette)) {
        return Status::Fail(std::string(kNotPhotoshop));
    }
    DecodeChannels(file, header, plan, packBits, context);
    return Status::Ok();
}

}  // namespace marbleye
