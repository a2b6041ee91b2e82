#include <zlib.h>

#include <cctype>
#include <cstring>
#include <optional>
#include <type_traits>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "common/PathText.h"
#include "formats/own/Vkp.h"
#include "formats/own/VkpFormat.h"
#include "io/ByteReader.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

using namespace vkp;

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads the decimal numbers of a Version 1 file. A "#" starts a comment that
// runs to the line end, wherever it stands, even right after a digit.
class NumberReader {
public:
    explicit NumberReader(InputFile& file) : file_(file) {}

    // The next number, or nothing at the end of the file or at a character
    // that starts no number.
    std::optional<uint64_t> Next() {
        int c = SkipBlanksAndComments();
        if (c < 0 || !std::isdigit(c)) return std::nullopt;
        uint64_t value = 0;
        while (c >= 0 && std::isdigit(c)) {
            value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(c - '0'), UINT32_MAX);
            c = file_.ReadByte();
        }
        if (c == '#') SkipComment();
        return value;
    }

    // The first whitespace-delimited word of the file.
    std::string Word() {
        std::string word;
        int c = SkipBlanksAndComments();
        while (c >= 0 && !IsBlank(c) && word.size() < 16) {
            word += static_cast<char>(c);
            c = file_.ReadByte();
        }
        return word;
    }

private:
    int SkipBlanksAndComments() {
        for (;;) {
            const int c = file_.ReadByte();
            if (c == '#') {
                SkipComment();
                continue;
            }
            if (!IsBlank(c)) return c;
        }
    }
    void SkipComment() {
        int c;
        do {
            c = file_.ReadByte();
        } while (c >= 0 && c != '\r' && c != '\n');
    }

    InputFile& file_;
};

// The pseudo-random noise of run-length files: a fixed generator, so a file
// always loads alike.
struct Rgb {
    uint8_t r, g, b;
};

class Noise {
public:
    int Next(int amplitude) {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) % static_cast<uint32_t>(amplitude));
    }

private:
    uint32_t state_ = 1;
};

// Pixels are stored top row first; the canvas holds rows bottom-up. Runs
// fill a row span at a time: a short file may honestly describe a picture of
// hundreds of millions of pixels.
class PixelCursor {
public:
    PixelCursor(ImageCanvas& canvas, const LoadContext& context) : canvas_(canvas), context_(context) {}
    bool done() const { return y_ >= canvas_.height(); }

    // Puts `count` pixels, or as many as are left, in one colour or each
    // coloured by calling `next`.
    template <typename NextColour>
    void Put(uint64_t count, NextColour next) {
        while (count > 0 && !done()) {
            if constexpr (std::is_same_v<NextColour, Rgb>) {
                if (x_ == 0 && count >= 2 * static_cast<uint64_t>(canvas_.width())) {
                    count -= FillRows(count / static_cast<uint64_t>(canvas_.width()), next);
                    continue;
                }
            }
            uint8_t* p = canvas_.Row(canvas_.height() - 1 - y_) + x_ * 3;
            const int32_t span = static_cast<int32_t>(std::min<uint64_t>(count, canvas_.width() - x_));
            if constexpr (std::is_same_v<NextColour, Rgb>) {
                FillSpan(p, span, next);
            } else {
                for (int32_t i = 0; i < span; ++i, p += 3) {
                    const Rgb colour = next();
                    p[0] = colour.b, p[1] = colour.g, p[2] = colour.r;
                }
            }
            count -= static_cast<uint64_t>(span);
            x_ += span;
            if (x_ == canvas_.width()) {
                x_ = 0, ++y_;
                context_.RowDone();
            }
        }
    }

private:
    // One pixel written, then copied onto itself in doubling blocks.
    static void FillSpan(uint8_t* p, int32_t span, Rgb colour) {
        p[0] = colour.b, p[1] = colour.g, p[2] = colour.r;
        const size_t total = static_cast<size_t>(span) * 3;
        for (size_t filled = 3; filled < total;) {
            const size_t block = std::min(filled, total - filled);
            std::memcpy(p + filled, p, block);
            filled += block;
        }
    }

    // Whole rows of one colour: the first row filled, then copied onto the
    // rows below it in memory in doubling blocks. Returns the pixels put.
    uint64_t FillRows(uint64_t rows, Rgb colour) {
        rows = std::min<uint64_t>(rows, static_cast<uint64_t>(canvas_.height() - y_));
        uint8_t* const first = canvas_.Row(canvas_.height() - 1 - y_);
        const size_t stride = static_cast<size_t>(canvas_.stride());
        FillSpan(first, canvas_.width(), colour);
        for (uint64_t filled = 1; filled < rows;) {
            const uint64_t block = std::min(filled, rows - filled);
            std::memcpy(first - (filled + block - 1) * stride, first - (block - 1) * stride, block * stride);
            filled += block;
            context_.RowDone();
        }
        y_ += static_cast<int32_t>(rows);
        return rows * static_cast<uint64_t>(canvas_.width());
    }

    ImageCanvas& canvas_;
    const LoadContext& context_;
    int32_t x_ = 0, y_ = 0;
};

// How many pixels the runs from here to the end of the file cover, at most
// `enough`. Runs run across rows, so one short line can honestly cover a
// whole picture; only the runs themselves tell how much the file describes.
uint64_t PixelsCoveredByRuns(NumberReader& numbers, uint64_t enough) {
    uint64_t covered = 0;
    while (covered < enough) {
        const auto count = numbers.Next(), r = numbers.Next(), g = numbers.Next(), b = numbers.Next();
        if (!count || !r || !g || !b) break;
        covered += *count;
    }
    return covered;
}

// Whether the file describes enough of the picture to be shown: plain
// triples take at least six bytes of text for a pixel's three, runs are
// counted.
bool DescribesEnough(InputFile& file, NumberReader& numbers, bool runLength, uint64_t width, uint64_t height) {
    const uint64_t pixels = width * height;  // within the pixel gate
    if (!runLength) return FileCanHold(pixels * 3, file.size() - file.Tell(), expansion::kStored);
    const uint64_t start = file.Tell();
    const uint64_t covered = PixelsCoveredByRuns(numbers, pixels);
    file.Seek(start);
    return FileCanHold(pixels * 3, covered * 3, expansion::kStored);
}

// Version 1: header words, then plain triples or runs. A file that ends early
// leaves the remaining pixels black; a run past the last pixel is cut there.
Status ReadTextVersion(InputFile& file, LoadContext& context) {
    NumberReader numbers(file);
    numbers.Word();  // the magic word, already checked
    std::optional<uint64_t> header[6];
    for (auto& field : header) field = numbers.Next();
    for (const auto& field : header) {
        if (!field) return Status::Fail(std::string(kNotVkp));
    }
    const uint64_t width = *header[1], height = *header[2];
    const bool runLength = *header[3] != 0;
    const int noise = static_cast<int>(std::min<uint64_t>(*header[4], 255));
    if (width == 0 || height == 0) return Status::Fail(std::string(kNotVkp));
    if (!CheckedLayout(static_cast<int64_t>(width), static_cast<int64_t>(height), 24) ||
        !DescribesEnough(file, numbers, runLength, width, height)) {
        return Status::Fail(std::string(kNotVkp));
    }

    context.image.width = static_cast<int32_t>(std::min<uint64_t>(width, INT32_MAX));
    context.image.height = static_cast<int32_t>(std::min<uint64_t>(height, INT32_MAX));
    context.image.fileBitDepth = 24;
    context.image.palette.fill(0);
    if (!context.canvas.Create(context.image.width, context.image.height, 24, 0, context.image.palette)) {
        return Status::Fail(std::string(kNotVkp));
    }
    PixelCursor cursor(context.canvas, context);
    Noise random;
    while (!cursor.done()) {
        if (!runLength) {
            const auto r = numbers.Next(), g = numbers.Next(), b = numbers.Next();
            if (!r || !g || !b) break;
            const Rgb colour{static_cast<uint8_t>(*r), static_cast<uint8_t>(*g), static_cast<uint8_t>(*b)};
            cursor.Put(1, colour);
            continue;
        }
        const auto count = numbers.Next(), r = numbers.Next(), g = numbers.Next(), b = numbers.Next();
        if (!count || !r || !g || !b) break;
        const Rgb colour{static_cast<uint8_t>(*r), static_cast<uint8_t>(*g), static_cast<uint8_t>(*b)};
        const bool noisy = noise > 0 && colour.r < 255 - noise && colour.g < 255 - noise && colour.b < 255 - noise;
        if (!noisy) {
            cursor.Put(*count, colour);
            continue;
        }
        cursor.Put(*count, [&] {
            const int nr = random.Next(noise), ng = random.Next(noise), nb = random.Next(noise);
            return Rgb{static_cast<uint8_t>(colour.r + nr), static_cast<uint8_t>(colour.g + ng),
                       static_cast<uint8_t>(colour.b + nb)};
        });
    }
    return Status::Ok();
}

// Version 2: the body must inflate to exactly height x stride bytes.
Status ReadBinaryVersion(InputFile& file, LoadContext& context) {
    uint8_t bytes[kBinaryHeaderSize];
    ByteReader header(bytes, file.Read(bytes, sizeof bytes));
    header.Skip(3);
    const int32_t width = header.U16LE();
    const int32_t height = header.U16LE();
    const uint32_t rawSize = header.U32LE();
    const uint32_t packedSize = header.U32LE();
    if (header.failed() || width == 0 || height == 0) return Status::Fail(std::string(kNotVkp));
    if (rawSize != static_cast<uint64_t>(RowStride(width, 24)) * height) return Status::Fail(std::string(kNotVkp));
    if (packedSize > file.size() - kBinaryHeaderSize) return Status::Fail(std::string(kNotVkp));
    if (!FileCanHold(rawSize, packedSize, expansion::kDeflate)) return Status::Fail(std::string(kNotVkp));

    std::vector<uint8_t> packed(packedSize);
    if (!file.ReadExact(packed.data(), packed.size())) return Status::Fail(std::string(kNotVkp));
    context.image.width = width;
    context.image.height = height;
    context.image.fileBitDepth = 24;
    context.image.palette.fill(0);
    if (!context.canvas.Create(width, height, 24, 0, context.image.palette)) return Status::Fail(std::string(kNotVkp));
    uLongf inflated = rawSize;
    const int result = uncompress(context.canvas.bits(), &inflated, packed.data(), packedSize);
    if (result != Z_OK || inflated != rawSize) return Status::Fail(std::string(kNotVkp));
    return Status::Ok();
}

int32_t VersionOf(InputFile& file) {
    char start[2] = {};
    if (file.Read(start, 2) == 2 && start[0] == kBinaryMagic[0] && start[1] == kBinaryMagic[1]) return 2;
    file.Seek(0);
    NumberReader words(file);
    return EqualsIgnoreCase(words.Word(), kTextMagic) ? 1 : -1;
}

}  // namespace

int32_t DetectVkpVersion(const std::string& path) {
    InputFile file;
    if (!file.Open(path)) return 0;
    return VersionOf(file);
}

Status ReadVkp(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kNoFile));
    const int32_t version = VersionOf(file);
    if (version != 1 && version != 2) return Status::Fail(std::string(kNotVkp));
    file.Seek(0);
    return version == 2 ? ReadBinaryVersion(file, context) : ReadTextVersion(file, context);
}

}  // namespace marbleye
