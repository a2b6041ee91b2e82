#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/DeclaredSize.h"
#include "formats/fits/Fits.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr size_t kBlockSize = 2880, kCardSize = 80;
constexpr const char* kHeaderError = "error reading header";

// What the header says about the first image: the keywords this reader
// uses, with the defaults of the format where a keyword is absent.
struct FitsHeader {
    bool simple = false;
    int32_t bitpix = 0;
    int32_t axes = 0;
    int64_t axis[3] = {0, 1, 1};  // NAXIS1..NAXIS3
    double bzero = 0, bscale = 1;
    std::optional<double> dataMin, dataMax;
    uint64_t dataStart = 0;

    size_t bytesPerValue() const { return static_cast<size_t>(std::abs(bitpix)) / 8; }
};

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A card's number: the value field up to a comment, in the free format
// of the standard (a leading sign, "D" as well as "E" for the exponent).
std::optional<double> NumberValue(std::string_view value) {
    value = Trimmed(value.substr(0, value.find('/')));
    if (!value.empty() && value.front() == '+') value.remove_prefix(1);
    std::string text(value);
    std::replace(text.begin(), text.end(), 'D', 'E');
    std::replace(text.begin(), text.end(), 'd', 'e');
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(number)) return std::nullopt;
    return number;
}

std::optional<int64_t> IntegerValue(std::string_view value) {
    const auto number = NumberValue(value);
    if (!number || *number != std::floor(*number) || std::fabs(*number) > 1e15) return std::nullopt;
    return static_cast<int64_t>(*number);
}

// Reads the cards of the primary header, block by block, up to END; the
// data starts with the next block.
Status ReadHeader(InputFile& file, FitsHeader& header) {
    char block[kBlockSize];
    bool first = true, ended = false;
    while (!ended) {
        if (!file.ReadExact(block, sizeof block)) return Status::Fail(kHeaderError);
        for (size_t at = 0; at < kBlockSize && !ended; at += kCardSize) {
            const std::string_view card(block + at, kCardSize);
            const std::string_view keyword = Trimmed(card.substr(0, 8));
            const bool hasValue = card.substr(8, 2) == "= ";
            const std::string_view value = card.substr(10);
            if (first) {
                // The first card must say that the file follows the basic format.
                header.simple = keyword == "SIMPLE" && hasValue && Trimmed(value.substr(0, value.find('/'))) == "T";
                if (!header.simple) return Status::Fail("FITS file is not in simple format, can't read");
                first = false;
                continue;
            }
            if (keyword == "END") {
                ended = true;
            } else if (!hasValue) {
                continue;
            } else if (keyword == "BITPIX") {
                const auto bitpix = IntegerValue(value);
                if (!bitpix || *bitpix < INT32_MIN || *bitpix > INT32_MAX) return Status::Fail(kHeaderError);
                header.bitpix = static_cast<int32_t>(*bitpix);
            } else if (keyword == "NAXIS") {
                const auto axes = IntegerValue(value);
                if (!axes || *axes < 0 || *axes > 999) return Status::Fail(kHeaderError);
                header.axes = static_cast<int32_t>(*axes);
            } else if (keyword == "NAXIS1" || keyword == "NAXIS2" || keyword == "NAXIS3") {
                const auto length = IntegerValue(value);
                if (!length || *length < 0) return Status::Fail(kHeaderError);
                header.axis[keyword[5] - '1'] = *length;
            } else if (keyword == "BZERO" || keyword == "BSCALE" || keyword == "DATAMIN" || keyword == "DATAMAX") {
                const auto number = NumberValue(value);
                if (!number) return Status::Fail(kHeaderError);
                if (keyword == "BZERO") header.bzero = *number;
                if (keyword == "BSCALE") header.bscale = *number;
                if (keyword == "DATAMIN") header.dataMin = number;
                if (keyword == "DATAMAX") header.dataMax = number;
            }
        }
    }
    header.dataStart = file.Tell();
    return Status::Ok();
}

// The values of one row in physical units (BZERO + BSCALE x stored value);
// false when the file ended first. Blank floating-point values are NaN.
class FitsRows {
public:
    FitsRows(InputFile& file, const FitsHeader& header)
        : file_(file), header_(header), bytes_(static_cast<size_t>(header.axis[0]) * header.bytesPerValue()) {}

    bool Read(std::vector<double>& values) {
        if (!file_.ReadExact(bytes_.data(), bytes_.size())) return false;
        const size_t size = header_.bytesPerValue();
        for (size_t x = 0; x < values.size(); ++x) {
            const uint8_t* p = bytes_.data() + x * size;
            uint64_t bits = 0;
            for (size_t i = 0; i < size; ++i) bits = bits << 8 | p[i];
            values[x] = header_.bzero + header_.bscale * Stored(bits);
        }
        return true;
    }

private:
    // Big-endian values: unsigned bytes, two's-complement 16 and 32 bits,
    // IEEE single and double precision.
    double Stored(uint64_t bits) const {
        switch (header_.bitpix) {
            case 8: return static_cast<double>(bits);
            case 16: return static_cast<int16_t>(static_cast<uint16_t>(bits));
            case 32: return static_cast<int32_t>(static_cast<uint32_t>(bits));
            case -32: {
                const uint32_t word = static_cast<uint32_t>(bits);
                float value;
                std::memcpy(&value, &word, sizeof value);
                return value;
            }
            default: {
                double value;
                std::memcpy(&value, &bits, sizeof value);
                return value;
            }
        }
    }

    InputFile& file_;
    const FitsHeader& header_;
    std::vector<uint8_t> bytes_;
};

// The range that becomes black to white: DATAMIN..DATAMAX when the header
// gives a usable one, otherwise the smallest and largest finite values of
// the plane (as far as the file holds it).
void FindRange(InputFile& file, const FitsHeader& header, double& low, double& high) {
    if (header.dataMin && header.dataMax && *header.dataMax > *header.dataMin) {
        low = *header.dataMin;
        high = *header.dataMax;
        return;
    }
    low = INFINITY;
    high = -INFINITY;
    FitsRows rows(file, header);
    std::vector<double> values(static_cast<size_t>(header.axis[0]));
    for (int64_t y = 0; y < header.axis[1] && rows.Read(values); ++y) {
        for (const double value : values) {
            if (!std::isfinite(value)) continue;
            low = std::min(low, value);
            high = std::max(high, value);
        }
    }
    file.Seek(header.dataStart);
}

uint8_t Grey(double value, double low, double high) {
    if (!std::isfinite(value) || !(high > low)) return 0;
    const double grey = (value - low) * 255.0 / (high - low);
    return static_cast<uint8_t>(std::clamp(grey, 0.0, 255.0));
}

}  // namespace

Status ReadFits(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(kHeaderError);
    FitsHeader header;
    if (Status status = ReadHeader(file, header); !status) return status;
    const int32_t bitpix = header.bitpix;
    if (bitpix != 8 && bitpix != 16 && bitpix != 32 && bitpix != -32 && bitpix != -64) {
        return Status::Fail("unusual bits per pixel (" + std::to_string(bitpix) + "), can't read");
    }
    // No axes, or a third axis of length 0, mean that there is no picture.
    if (header.axes < 1 || (header.axes > 2 && header.axis[2] == 0)) return Status::Fail(kHeaderError);
    if (header.axes < 2) header.axis[1] = 1;
    const auto layout = CheckedLayout(header.axis[0], header.axis[1], 8);
    if (!layout || !FileCanHold(*layout, file.size() - header.dataStart, expansion::kStored)) {
        return Status::Fail(kHeaderError);
    }
    if (header.axes > 2) context.host.ReportError("reading image plane 1 of " + std::to_string(header.axis[2]));

    CurrentImage& image = context.image;
    image.width = layout->width;
    image.height = layout->height;
    image.fileBitDepth = 8;
    image.palette = GrayRamp();
    if (!context.canvas.Create(image.width, image.height, 8, 0, image.palette)) return Status::Fail(kHeaderError);

    double low = 0, high = 0;
    FindRange(file, header, low, high);
    // The first row of the file is the bottom of the picture, as in the
    // canvas; a file that ends early shows the rows it holds.
    FitsRows rows(file, header);
    std::vector<double> values(static_cast<size_t>(image.width));
    for (int32_t y = 0; y < image.height && rows.Read(values); ++y) {
        uint8_t* row = context.canvas.Row(y);
        for (int32_t x = 0; x < image.width; ++x) row[x] = Grey(values[static_cast<size_t>(x)], low, high);
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
