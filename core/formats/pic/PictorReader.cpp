#include <algorithm>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/pic/Pic.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr uint16_t kMagic = 0x1234;
constexpr size_t kHeaderSize = 17;
constexpr size_t kBlockHeaderSize = 5;  // block size, unpacked size, run marker
constexpr uint8_t kVgaMode = 'M';

// The marker, a zero, a 16-bit count and the value stand for 65535 bytes.
constexpr uint64_t kRunExpansion = 65535 / 5;

constexpr const char* kNotPictor = "This is not a valid Pictor PC Paint File!";

// The sixteen colours of the EGA's power-on palette, as EGA colour codes.
constexpr uint8_t kDefaultEgaCodes[16] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x14, 0x07,
                                          0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F};

struct PictorHeader {
    uint32_t width = 0, height = 0;
    uint32_t planes = 0, bitsPerPlane = 0;
    uint8_t videoMode = 0;
    uint16_t paletteSize = 0;

    uint32_t depth() const { return planes * bitsPerPlane; }
    // Every plane row holds width samples of bitsPerPlane bits, packed from
    // the high bit down.
    size_t planeRowBytes() const { return (static_cast<size_t>(width) * bitsPerPlane + 7) / 8; }
};

bool ReadHeader(InputFile& file, PictorHeader& header) {
    uint8_t bytes[kHeaderSize];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    const uint16_t magic = fields.U16LE();
    header.width = fields.U16LE(), header.height = fields.U16LE();
    fields.Skip(4);  // x and y offset on the screen
    const uint8_t planeByte = fields.U8();
    fields.U8();  // the marker of the newer header layout
    header.videoMode = fields.U8();
    fields.U16LE();  // palette info
    header.paletteSize = fields.U16LE();
    if (fields.failed() || magic != kMagic || header.width == 0 || header.height == 0) return false;
    header.planes = (planeByte >> 4) + 1u;
    header.bitsPerPlane = planeByte & 0x0Fu;
    const uint32_t bits = header.bitsPerPlane;
    return (bits == 1 || bits == 2 || bits == 4 || bits == 8) && header.depth() <= 8;
}

// An EGA colour code has the high intensity of red, green and blue in bits
// 2, 1 and 0 and the low one in bits 5, 4 and 3.
void PutEgaColour(uint8_t code, uint8_t* rgb) {
    rgb[0] = static_cast<uint8_t>((code & 0x04 ? 0x80 : 0) + (code & 0x20 ? 0x40 : 0));
    rgb[1] = static_cast<uint8_t>((code & 0x02 ? 0x80 : 0) + (code & 0x10 ? 0x40 : 0));
    rgb[2] = static_cast<uint8_t>((code & 0x01 ? 0x80 : 0) + (code & 0x08 ? 0x40 : 0));
}

bool ReadPalette(InputFile& file, const PictorHeader& header, Palette256& palette) {
    std::vector<uint8_t> stored(header.paletteSize);
    if (!file.ReadExact(stored.data(), stored.size())) return false;
    palette = Palette256{};
    const uint32_t depth = header.depth();
    if (depth == 1) {
        palette[3] = palette[4] = palette[5] = 255;  // black and white
    } else if (stored.empty() && depth > 4) {
        palette = GrayRamp();
    } else if (depth <= 4 && (stored.empty() || header.videoMode != kVgaMode)) {
        // Entries the file leaves out keep the EGA's own colours.
        for (size_t i = 0; i < 16; ++i) PutEgaColour(kDefaultEgaCodes[i], &palette[i * 3]);
        for (size_t i = 0; i < std::min<size_t>(stored.size(), 256); ++i) PutEgaColour(stored[i], &palette[i * 3]);
    } else {
        // Six-bit VGA levels.
        const size_t count = std::min<size_t>(stored.size(), palette.size());
        for (size_t i = 0; i < count; ++i) palette[i] = static_cast<uint8_t>(stored[i] * 4);
    }
    return true;
}

// The picture bytes: stored as they are when the file has no blocks,
// otherwise unpacked from run-length blocks. Runs go on across rows and
// planes.
class PictureBytes {
public:
    PictureBytes(InputFile& file, uint16_t blockCount) : file_(file), blocksLeft_(blockCount), packed_(blockCount) {}

    // Fills count bytes; false when the data ended first.
    bool Read(uint8_t* target, size_t count) {
        if (!packed_) return file_.ReadExact(target, count);
        for (size_t i = 0; i < count; ++i) {
            while (repeat_ == 0) {
                if (!NextCode()) return false;
            }
            target[i] = value_;
            --repeat_;
        }
        return true;
    }

private:
    int NextCodedByte() {
        while (codedLeft_ == 0) {
            if (blocksLeft_ == 0) return -1;
            --blocksLeft_;
            uint8_t bytes[kBlockHeaderSize];
            if (!file_.ReadExact(bytes, sizeof bytes)) return -1;
            const size_t blockSize = bytes[0] | bytes[1] << 8;  // unpacked size in bytes 2 and 3
            if (blockSize < kBlockHeaderSize) return -1;
            codedLeft_ = blockSize - kBlockHeaderSize;
            marker_ = bytes[4];
        }
        --codedLeft_;
        return file_.ReadByte();
    }

    // Reads one literal or one run into value_ and repeat_.
    bool NextCode() {
        const int byte = NextCodedByte();
        if (byte < 0) return false;
        if (byte != marker_) {
            value_ = static_cast<uint8_t>(byte);
            repeat_ = 1;
            return true;
        }
        int count = NextCodedByte();
        if (count == 0) {
            const int low = NextCodedByte();
            const int high = NextCodedByte();
            if (high < 0) return false;
            count = low | high << 8;
        }
        const int value = NextCodedByte();
        if (count < 0 || value < 0) return false;
        value_ = static_cast<uint8_t>(value);
        repeat_ = static_cast<uint32_t>(count);
        return true;
    }

    InputFile& file_;
    uint32_t blocksLeft_;
    bool packed_;
    size_t codedLeft_ = 0;
    int marker_ = -1;
    uint32_t repeat_ = 0;
    uint8_t value_ = 0;
};

// Adds the samples of one plane row, shifted to the plane's place in the
// pixel value, to a canvas row of 1, 4 or 8 bits.
void AddPlaneRow(const PictorHeader& header, uint32_t plane, const uint8_t* samples, int32_t canvasBits,
                 uint8_t* target) {
    const uint32_t bits = header.bitsPerPlane;
    const uint32_t mask = (1u << bits) - 1;
    for (uint32_t x = 0; x < header.width; ++x) {
        const size_t bit = static_cast<size_t>(x) * bits;
        const uint32_t sample = (samples[bit / 8] >> (8 - bits - bit % 8)) & mask;
        const uint32_t value = sample << (plane * bits);
        switch (canvasBits) {
            case 1: target[x / 8] |= static_cast<uint8_t>(value << (7 - x % 8)); break;
            case 4: target[x / 2] |= static_cast<uint8_t>(value << (x % 2 ? 0 : 4)); break;
            default: target[x] |= static_cast<uint8_t>(value);
        }
    }
}

}  // namespace

Status ReadPictor(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open PIC File!");
    PictorHeader header;
    CurrentImage& image = context.image;
    if (!ReadHeader(file, header) || !ReadPalette(file, header, image.palette)) return Status::Fail(kNotPictor);
    uint8_t countBytes[2];
    if (!file.ReadExact(countBytes, sizeof countBytes)) return Status::Fail(kNotPictor);
    const uint16_t blockCount = static_cast<uint16_t>(countBytes[0] | countBytes[1] << 8);

    image.width = static_cast<int32_t>(header.width);
    image.height = static_cast<int32_t>(header.height);
    image.fileBitDepth = static_cast<int32_t>(header.depth());
    const int32_t canvasBits = header.depth() == 1 ? 1 : header.depth() <= 4 ? 4 : 8;
    const size_t rowBytes = header.planeRowBytes();
    const uint64_t unpacked = static_cast<uint64_t>(rowBytes) * header.height * header.planes;
    if (!FileCanHold(unpacked, file.size() - file.Tell(), blockCount == 0 ? expansion::kStored : kRunExpansion) ||
        !context.canvas.Create(image.width, image.height, canvasBits, 0, image.palette)) {
        return Status::Fail(kNotPictor);
    }

    // Each plane is a group of rows of its own, bottom row first.
    PictureBytes data(file, blockCount);
    std::vector<uint8_t> samples(rowBytes);
    for (uint32_t plane = 0; plane < header.planes; ++plane) {
        for (uint32_t y = 0; y < header.height; ++y) {
            if (!data.Read(samples.data(), samples.size())) return Status::Ok();  // what was read is shown
            AddPlaneRow(header, plane, samples.data(), canvasBits, context.canvas.Row(static_cast<int32_t>(y)));
            context.RowDone();
        }
    }
    return Status::Ok();
}

}  // namespace marbleye
