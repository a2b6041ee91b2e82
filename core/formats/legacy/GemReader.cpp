#include <algorithm>
#include <cstring>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/legacy/Legacy.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr size_t kHeaderSize = 16;
constexpr uint16_t kShortestHeaderWords = 8;
// Files with this header length and no plane count of 1 to 8 hold
// true-colour pixels.
constexpr uint16_t kTrueColourHeaderWords = 9;
constexpr uint16_t kTrueColourPlanes = 24;
// The only pixel size accepted, in micrometres.
constexpr uint16_t kPixelMicrometres = 85;

// A pattern run (two bytes and the pattern) stands for up to 255 patterns,
// and a line repeat ("00 00 FF n") uses one coded line up to 255 times.
constexpr uint64_t kGemExpansion = 255 * 255;

struct GemHeader {
    uint16_t headerWords = 0, planes = 0, patternLength = 0;
    uint16_t width = 0, height = 0;
    bool trueColour = false;

    // Bit-plane pictures hold every plane's row, plane 0 first, each padded
    // to whole bytes; true-colour rows are red, green and blue bytes.
    size_t planeRowBytes() const { return trueColour ? size_t{width} * 3 : (size_t{width} + 7) / 8; }
    size_t planeCount() const { return trueColour ? 1 : planes; }
    int32_t depth() const { return trueColour ? 24 : planes; }
    int32_t canvasDepth() const { return trueColour ? 24 : planes == 1 ? 1 : 8; }
};

Status ReadHeader(InputFile& file, GemHeader& header) {
    const Status invalid = Status::Fail("Invalid Header!");
    uint8_t bytes[kHeaderSize];
    ByteReader fields(bytes, file.Read(bytes, sizeof bytes));
    fields.U16BE();  // version
    header.headerWords = fields.U16BE();
    header.planes = fields.U16BE();
    header.patternLength = fields.U16BE();
    const uint16_t pixelWidth = fields.U16BE(), pixelHeight = fields.U16BE();
    header.width = fields.U16BE();
    header.height = fields.U16BE();
    if (fields.failed() || pixelWidth != kPixelMicrometres || pixelHeight != kPixelMicrometres) return invalid;
    if (header.headerWords < kShortestHeaderWords || header.width == 0 || header.height == 0) return invalid;
    const bool bitPlanes = header.planes >= 1 && header.planes <= 8;
    header.trueColour = !bitPlanes && (header.headerWords == kTrueColourHeaderWords || header.planes == kTrueColourPlanes);
    if (!bitPlanes && !header.trueColour) return invalid;
    return Status::Ok();
}

// White and black for one plane; otherwise the grey ramp from black to white
// in 2^planes steps.
Palette256 PaletteFor(const GemHeader& header) {
    Palette256 palette{};
    if (header.trueColour) return palette;
    if (header.planes == 1) {
        palette[0] = palette[1] = palette[2] = 255;
        return palette;
    }
    const uint32_t last = (1u << header.planes) - 1;
    for (uint32_t i = 0; i <= last; ++i) {
        const auto grey = static_cast<uint8_t>(i * 255 / last);
        palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = grey;
    }
    return palette;
}

// The coded lines of the picture: each call fills one scan line (every
// plane's row) and says how many times it is shown.
class GemLines {
public:
    GemLines(InputFile& file, const GemHeader& header)
        : file_(file), rowBytes_(header.planeRowBytes()), planes_(header.planeCount()),
          pattern_(header.patternLength) {}

    // False when the file ended before the line was complete; what was
    // decoded stays in line, the rest is 0.
    bool Read(std::vector<uint8_t>& line, int& repeat) {
        std::fill(line.begin(), line.end(), 0);
        repeat = 1;
        for (size_t plane = 0; plane < planes_; ++plane) {
            if (!ReadPlaneRow(line.data() + plane * rowBytes_, repeat)) return false;
        }
        return true;
    }

private:
    void Put(uint8_t* row, size_t& x, const uint8_t* bytes, size_t count) {
        // An empty pattern or bit string has no bytes at all.
        const size_t taken = std::min(count, rowBytes_ - x);
        if (taken == 0) return;
        std::memcpy(row + x, bytes, taken);
        x += taken;
    }
    void Fill(uint8_t* row, size_t& x, uint8_t value, size_t count) {
        const size_t taken = std::min(count, rowBytes_ - x);
        std::memset(row + x, value, taken);
        x += taken;
    }

    bool ReadPlaneRow(uint8_t* row, int& repeat) {
        size_t x = 0;
        while (x < rowBytes_) {
            const int code = file_.ReadByte();
            if (code < 0) return false;
            if (code == 0) {
                const int count = file_.ReadByte();
                if (count < 0) return false;
                if (count == 0) {
                    // "00 00 FF n": the line that follows is shown n times.
                    const int flag = file_.ReadByte(), times = file_.ReadByte();
                    if (flag < 0 || times < 0) return false;
                    if (flag == 0xFF && times > 0) repeat = times;
                    continue;
                }
                if (!file_.ReadExact(pattern_.data(), pattern_.size())) return false;
                for (int i = 0; i < count && x < rowBytes_; ++i) Put(row, x, pattern_.data(), pattern_.size());
            } else if (code == 0x80) {
                const int count = file_.ReadByte();
                if (count < 0) return false;
                literal_.resize(count);
                const size_t read = file_.Read(literal_.data(), literal_.size());
                Put(row, x, literal_.data(), read);
                if (read < literal_.size()) return false;
            } else {
                Fill(row, x, code & 0x80 ? 0xFF : 0x00, code & 0x7F);
            }
        }
        return true;
    }

    InputFile& file_;
    size_t rowBytes_;
    size_t planes_;
    std::vector<uint8_t> pattern_;
    std::vector<uint8_t> literal_;
};

// One scan line into a canvas row: plane k gives bit k of an index, or the
// bytes are red, green and blue.
void PutLine(const GemHeader& header, const std::vector<uint8_t>& line, uint8_t* target) {
    const uint32_t width = header.width;
    if (header.trueColour) {
        for (uint32_t x = 0; x < width; ++x) {
            target[x * 3] = line[x * 3 + 2];
            target[x * 3 + 1] = line[x * 3 + 1];
            target[x * 3 + 2] = line[x * 3];
        }
        return;
    }
    const size_t rowBytes = header.planeRowBytes();
    if (header.planes == 1) {
        std::memcpy(target, line.data(), rowBytes);
        return;
    }
    for (uint32_t x = 0; x < width; ++x) {
        uint8_t index = 0;
        for (size_t plane = 0; plane < header.planes; ++plane) {
            if ((line[plane * rowBytes + x / 8] >> (7 - x % 8)) & 1) index |= static_cast<uint8_t>(1u << plane);
        }
        target[x] = index;
    }
}

}  // namespace

Status ReadGem(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Couldn't open GEM File!");
    GemHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;

    CurrentImage& image = context.image;
    image.palette = PaletteFor(header);
    image.width = header.width;
    image.height = header.height;
    image.fileBitDepth = header.depth();
    const uint64_t dataStart = uint64_t{header.headerWords} * 2;
    const uint64_t coded = file.size() > dataStart ? file.size() - dataStart : 0;
    const uint64_t decoded = uint64_t{header.planeRowBytes()} * header.planeCount() * header.height;
    if (!FileCanHold(decoded, coded, kGemExpansion) ||
        !context.canvas.Create(header.width, header.height, header.canvasDepth(), 0, image.palette)) {
        return Status::Fail("Invalid Header!");
    }
    // Rows not reached stay at index 0: white for one plane, black otherwise.
    if (!file.Seek(dataStart)) return Status::Ok();

    GemLines lines(file, header);
    std::vector<uint8_t> line(header.planeRowBytes() * header.planeCount());
    const int32_t height = header.height;
    int32_t y = 0;
    while (y < height) {
        int repeat = 1;
        const bool complete = lines.Read(line, repeat);
        for (int i = 0; i < repeat && y < height; ++i, ++y) {
            PutLine(header, line, context.canvas.Row(height - 1 - y));
            context.RowDone();
        }
        if (!complete) break;
    }
    return Status::Ok();
}

}  // namespace marbleye
