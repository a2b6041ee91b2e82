#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

#include "formats/classic/Netpbm.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

// The messages of the JPEG library's PPM input module, whose behaviour this
// reader follows: plain (P2, P3) and raw (P5, P6) files, other maxvals scaled
// to 8 bits.
constexpr std::string_view kNotPnm = "Not a PPM/PGM file";
constexpr std::string_view kNonNumeric = "Nonnumeric data in PPM file";
constexpr std::string_view kOutOfRange = "Numeric value out of range in PPM file";
constexpr std::string_view kEarlyEnd = "Premature end of input file";

class PnmScanner {
public:
    explicit PnmScanner(InputFile& file) : file_(file) {}

    // The next decimal number, skipping blanks and "#" comments; nothing at
    // the end of the file or before something else.
    std::optional<uint32_t> Number(bool& ended) {
        int c;
        do {
            c = file_.ReadByte();
            if (c == '#') {
                while (c >= 0 && c != '\n' && c != '\r') c = file_.ReadByte();
            }
        } while (c >= 0 && std::isspace(c));
        if (c < 0) {
            ended = true;
            return std::nullopt;
        }
        if (!std::isdigit(c)) return std::nullopt;
        uint64_t value = 0;
        while (c >= 0 && std::isdigit(c)) {
            value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(c - '0'), UINT32_MAX);
            c = file_.ReadByte();
        }
        return static_cast<uint32_t>(value);
    }

private:
    InputFile& file_;
};

}  // namespace

Status ReadNetpbm(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Unable to open File!");
    const int p = file.ReadByte(), kind = file.ReadByte();
    if (p != 'P' || kind < '2' || kind > '6' || kind == '4') return Status::Fail(std::string(kNotPnm));
    const bool grey = kind == '2' || kind == '5';
    const bool plain = kind == '2' || kind == '3';
    PnmScanner scanner(file);
    bool ended = false;
    const auto width = scanner.Number(ended), height = scanner.Number(ended), maxval = scanner.Number(ended);
    if (ended) return Status::Fail(std::string(kEarlyEnd));
    if (!width || !height || !maxval) return Status::Fail(std::string(kNonNumeric));
    if (*width == 0 || *height == 0 || *maxval == 0 || *maxval > 65535) return Status::Fail(std::string(kNotPnm));

    const int channels = grey ? 1 : 3;
    // A file that ends before its last sample ends in the module's message,
    // so a header claiming more samples than the rest of the file can hold
    // is refused before anything is allocated: raw samples take one or two
    // bytes each, plain ones a digit and a separator.
    const uint64_t remaining = file.size() - file.Tell();
    const uint64_t pixels = uint64_t{*width} * *height;  // below 2^64: both sides are 32-bit
    if (pixels > remaining) return Status::Fail(std::string(kEarlyEnd));
    const uint64_t samples = pixels * channels;
    const uint64_t leastBytes = plain ? samples * 2 - 1 : samples * (*maxval > 255 ? 2 : 1);
    if (leastBytes > remaining) return Status::Fail(std::string(kEarlyEnd));

    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(std::min<uint32_t>(*width, INT32_MAX));
    image.height = static_cast<int32_t>(std::min<uint32_t>(*height, INT32_MAX));
    image.fileBitDepth = channels * 8;
    image.palette = grey ? GrayRamp() : Palette256{};
    if (!context.canvas.Create(image.width, image.height, channels * 8, 0, image.palette)) {
        return Status::Fail("Out of Memory!");
    }
    // value x 255 / maxval, rounded, as the module's rescale table does it.
    const uint32_t top = *maxval;
    const auto scale = [top](uint32_t value) { return static_cast<uint8_t>((value * 255u + top / 2) / top); };
    const size_t rowSamples = static_cast<size_t>(image.width) * channels;
    const size_t sampleBytes = top > 255 ? 2 : 1;
    std::vector<uint8_t> raw(rowSamples * sampleBytes);
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* target = context.canvas.Row(image.height - 1 - y);
        if (!plain && !file.ReadExact(raw.data(), raw.size())) return Status::Fail(std::string(kEarlyEnd));
        if (!plain && top == 255) {  // the common case: bytes as they are
            if (grey) {
                std::copy(raw.begin(), raw.end(), target);
            } else {
                for (size_t i = 0; i < rowSamples; i += 3) {
                    target[i] = raw[i + 2], target[i + 1] = raw[i + 1], target[i + 2] = raw[i];
                }
            }
            context.RowDone();
            continue;
        }
        for (size_t i = 0; i < rowSamples; ++i) {
            uint32_t value;
            if (plain) {
                const auto number = scanner.Number(ended);
                if (!number) return Status::Fail(std::string(ended ? kEarlyEnd : kNonNumeric));
                value = *number;
            } else {
                value = sampleBytes == 2 ? (raw[i * 2] << 8) | raw[i * 2 + 1] : raw[i];
            }
            if (value > top) return Status::Fail(std::string(kOutOfRange));
            // Colour rows go in with red and blue exchanged.
            const size_t at = grey ? i : (i / 3) * 3 + (2 - i % 3);
            target[at] = scale(value);
        }
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
