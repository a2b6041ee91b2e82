#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/pic/Pic.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr uint32_t kMagic = 0x5380F634;
constexpr size_t kHeaderSize = 104;  // magic, version, comment, "PICT", size, ratio, fields, padding
constexpr size_t kIdentifierOffset = 88;
constexpr size_t kPacketSize = 4;
// The mask has four channel bits, so longer chains say nothing new; a chain
// longer than this is not a picture.
constexpr size_t kMostPackets = 16;

constexpr uint8_t kUncompressed = 0, kPureRunLength = 1, kMixedRunLength = 2;

// The longest run of each coding: a count byte in pure runs, a 16-bit
// count after the code 128 in mixed runs.
constexpr uint32_t kLongestPureRun = 255;
constexpr uint32_t kLongestMixedRun = 65535;

constexpr const char* kNotPic = " is a Softimage file, but not a PIC file";
constexpr const char* kScanlineError = "ReadScanline Error occured!";

// One channel packet: which channels a part of every row holds, and how.
struct Packet {
    uint8_t type = 0;
    // Byte offsets in the 32-bit pixel of the packet's channels, in the
    // order red, green, blue, alpha.
    uint8_t offsets[4] = {};
    uint8_t count = 0;
};

Packet MakePacket(uint8_t type, uint8_t mask) {
    static constexpr uint8_t kBits[4] = {0x80, 0x40, 0x20, 0x10};
    static constexpr uint8_t kOffsets[4] = {2, 1, 0, 3};
    Packet packet;
    packet.type = type;
    for (int i = 0; i < 4; ++i) {
        if (mask & kBits[i]) packet.offsets[packet.count++] = kOffsets[i];
    }
    return packet;
}

// The fewest file bytes one row of a packet can take, and so how many
// canvas bytes a file byte can stand for at most.
uint64_t FewestRowBytes(const Packet& packet, uint32_t width) {
    switch (packet.type) {
        case kUncompressed: return static_cast<uint64_t>(width) * packet.count;
        case kPureRunLength: return (width + kLongestPureRun - 1) / kLongestPureRun * (1 + packet.count);
        default: return (width + kLongestMixedRun - 1) / kLongestMixedRun * (3 + packet.count);
    }
}

std::string Format(const char* format, uint32_t x, uint32_t count, uint32_t width, int channels) {
    char text[160];
    std::snprintf(text, sizeof text, format, static_cast<int>(x), static_cast<int>(count), static_cast<int>(width),
                  channels);
    return text;
}

// Decodes the rows of the picture, top row first, packet after packet.
class RowDecoder {
public:
    RowDecoder(InputFile& file, uint32_t width, Host& host) : file_(file), width_(width), host_(host) {}

    enum class Outcome { kRow, kEnd, kOverrun };

    Outcome Decode(const Packet& packet, uint8_t* row) {
        switch (packet.type) {
            case kUncompressed: return Raw(packet, row, 0, width_);
            case kPureRunLength: return PureRuns(packet, row);
            default: return MixedRuns(packet, row);
        }
    }

private:
    bool Values(const Packet& packet, uint8_t* values) {
        return file_.ReadExact(values, packet.count);
    }

    void Put(const Packet& packet, const uint8_t* values, uint8_t* row, uint32_t from, uint32_t count) {
        for (uint32_t x = from; x < from + count; ++x) {
            for (uint8_t c = 0; c < packet.count; ++c) row[x * 4 + packet.offsets[c]] = values[c];
        }
    }

    Outcome Raw(const Packet& packet, uint8_t* row, uint32_t from, uint32_t count) {
        uint8_t values[4];
        for (uint32_t x = from; x < from + count; ++x) {
            if (!Values(packet, values)) return Outcome::kEnd;
            Put(packet, values, row, x, 1);
        }
        return Outcome::kRow;
    }

    Outcome PureRuns(const Packet& packet, uint8_t* row) {
        uint8_t values[4];
        for (uint32_t x = 0; x < width_;) {
            const int count = file_.ReadByte();
            if (count < 0 || !Values(packet, values)) return Outcome::kEnd;
            const uint32_t run = std::min<uint32_t>(static_cast<uint32_t>(count), width_ - x);
            Put(packet, values, row, x, run);
            x += run;  // a zero count moves nothing but still takes its bytes
        }
        return Outcome::kRow;
    }

    Outcome MixedRuns(const Packet& packet, uint8_t* row) {
        uint8_t values[4];
        for (uint32_t x = 0; x < width_;) {
            const int code = file_.ReadByte();
            if (code < 0) return Outcome::kEnd;
            if (code & 0x80) {
                uint32_t count = static_cast<uint32_t>(code) - 127;
                if (code == 128) {
                    const int high = file_.ReadByte();
                    const int low = file_.ReadByte();
                    if (low < 0) return Outcome::kEnd;
                    count = static_cast<uint32_t>(high << 8 | low);
                }
                if (x + count > width_) {
                    host_.ReportError(Format("ERROR: FF_PIC_load(): Overrun scanline (Repeat) [%d + %d > %d] (NC=%d)\n",
                                             x, count, width_, packet.count));
                    return Outcome::kOverrun;
                }
                if (!Values(packet, values)) return Outcome::kEnd;
                Put(packet, values, row, x, count);
                x += count;
            } else {
                const uint32_t count = static_cast<uint32_t>(code) + 1;
                if (x + count > width_) {
                    host_.ReportError(Format("ERROR: FF_PIC_load(): Overrun scanline (Raw) [%d + %d > %d] (NC=%d)\n",
                                             x, count, width_, packet.count));
                    return Outcome::kOverrun;
                }
                if (Raw(packet, row, x, count) == Outcome::kEnd) return Outcome::kEnd;
                x += count;
            }
        }
        return Outcome::kRow;
    }

    InputFile& file_;
    uint32_t width_;
    Host& host_;
};

// The packets up to and including the first one that is not chained.
bool ReadPackets(InputFile& file, std::vector<Packet>& packets) {
    for (;;) {
        uint8_t bytes[kPacketSize];
        if (!file.ReadExact(bytes, sizeof bytes) || packets.size() == kMostPackets) return false;
        const uint8_t chained = bytes[0], type = bytes[2], mask = bytes[3];  // bytes[1]: bits per channel
        if (type > kMixedRunLength) return false;
        packets.push_back(MakePacket(type, mask));
        if (chained == 0) return true;
    }
}

}  // namespace

Status ReadPic(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("ERROR: Can't open for reading.");
    uint8_t header[kHeaderSize];
    const size_t got = file.Read(header, sizeof header);
    ByteReader fields(header, got);
    if (fields.U32BE() != kMagic || fields.failed()) {
        file = InputFile();  // closed before the other reader opens it
        return ReadPictor(path, context);
    }
    fields.Skip(kIdentifierOffset - 4);  // version and comment
    const bool isPicture = got == kHeaderSize && std::memcmp(header + kIdentifierOffset, "PICT", 4) == 0;
    fields.Skip(4);
    const uint32_t width = fields.U16BE(), height = fields.U16BE();
    if (!isPicture || width == 0 || height == 0) return Status::Fail(path + kNotPic);

    std::vector<Packet> packets;
    if (!ReadPackets(file, packets)) return Status::Fail(kScanlineError);

    uint64_t fewestRowBytes = 0;
    for (const Packet& packet : packets) fewestRowBytes += FewestRowBytes(packet, width);
    const uint64_t rowBytes = uint64_t{width} * 4;
    fewestRowBytes = std::max<uint64_t>(fewestRowBytes, 1);
    const uint64_t expansion = (rowBytes + fewestRowBytes - 1) / fewestRowBytes;

    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.fileBitDepth = 32;
    if (!FileCanHold(rowBytes * height, file.size() - file.Tell(), expansion) ||
        !context.canvas.Create(image.width, image.height, 32, 0, image.palette)) {
        return Status::Fail(kScanlineError);
    }

    RowDecoder decoder(file, width, context.host);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = context.canvas.Row(static_cast<int32_t>(height - 1 - y));
        for (const Packet& packet : packets) {
            switch (decoder.Decode(packet, row)) {
                case RowDecoder::Outcome::kRow: break;
                case RowDecoder::Outcome::kEnd: return Status::Ok();  // what was read is shown
                case RowDecoder::Outcome::kOverrun: return Status::Fail(kScanlineError);
            }
        }
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
