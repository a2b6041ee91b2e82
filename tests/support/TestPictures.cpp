#include "support/TestPictures.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <fstream>
#include <sstream>

namespace marbleye::test {

RgbImage MakePattern(int32_t width, int32_t height) {
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = image.rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
            p[0] = static_cast<uint8_t>(x * 255 / std::max(width - 1, 1));
            p[1] = static_cast<uint8_t>(y * 255 / std::max(height - 1, 1));
            p[2] = static_cast<uint8_t>((x * 7 + y * 13) & 0xFF);
            if (x < width / 3 && y < height / 2) p[0] = 255, p[1] = 0, p[2] = 0;  // red block, top left
            if (x == y) p[0] = 0, p[1] = 0, p[2] = 255;                           // blue diagonal
        }
    }
    return image;
}

RgbImage MakePalettePattern(int32_t width, int32_t height, const std::vector<uint32_t>& colours) {
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    const size_t count = colours.size();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            size_t index = static_cast<size_t>(x + y * 3) % count;
            if (x < width / 3 && y < height / 2) index = 0;
            const uint32_t colour = colours[index];
            uint8_t* p = image.rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
            p[0] = static_cast<uint8_t>(colour >> 16);
            p[1] = static_cast<uint8_t>(colour >> 8);
            p[2] = static_cast<uint8_t>(colour);
        }
    }
    return image;
}

std::string ToPpm(const RgbImage& image) {
    std::string data = "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    data.append(reinterpret_cast<const char*>(image.rgb.data()), image.rgb.size());
    return data;
}

namespace {

// Skips blanks and comments, then reads one decimal number.
std::optional<int32_t> PnmNumber(const std::string& data, size_t& at) {
    for (;;) {
        while (at < data.size() && std::isspace(static_cast<unsigned char>(data[at]))) ++at;
        if (at < data.size() && data[at] == '#') {
            while (at < data.size() && data[at] != '\n') ++at;
            continue;
        }
        break;
    }
    if (at >= data.size() || !std::isdigit(static_cast<unsigned char>(data[at]))) return std::nullopt;
    int32_t value = 0;
    while (at < data.size() && std::isdigit(static_cast<unsigned char>(data[at]))) value = value * 10 + (data[at++] - '0');
    return value;
}

}  // namespace

std::optional<RgbImage> FromPnm(const std::string& data) {
    if (data.size() < 2 || data[0] != 'P' || (data[1] != '5' && data[1] != '6')) return std::nullopt;
    const bool grey = data[1] == '5';
    size_t at = 2;
    const auto width = PnmNumber(data, at), height = PnmNumber(data, at), maxval = PnmNumber(data, at);
    if (!width || !height || !maxval || *maxval != 255) return std::nullopt;
    ++at;  // the single blank after maxval
    const size_t samples = static_cast<size_t>(*width) * *height * (grey ? 1 : 3);
    if (data.size() < at + samples) return std::nullopt;
    RgbImage image{*width, *height, {}};
    image.rgb.reserve(static_cast<size_t>(*width) * *height * 3);
    for (size_t i = 0; i < samples; ++i) {
        const uint8_t v = static_cast<uint8_t>(data[at + i]);
        image.rgb.push_back(v);
        if (grey) image.rgb.push_back(v), image.rgb.push_back(v);
    }
    return image;
}

RgbImage CanvasToRgb(const ImageCanvas& canvas) {
    RgbImage image{canvas.width(), canvas.height(), {}};
    const PixelBuffer copy = canvas.CopyBits(24);
    if (copy.empty()) return image;
    image.rgb.resize(static_cast<size_t>(canvas.width()) * canvas.height() * 3);
    for (int32_t y = 0; y < canvas.height(); ++y) {
        const uint8_t* row = copy.Row(canvas.height() - 1 - y);
        for (int32_t x = 0; x < canvas.width(); ++x) {
            uint8_t* p = image.rgb.data() + (static_cast<size_t>(y) * canvas.width() + x) * 3;
            p[0] = row[x * 3 + 2], p[1] = row[x * 3 + 1], p[2] = row[x * 3];
        }
    }
    return image;
}

bool CanvasFromRgb(const RgbImage& image, ImageCanvas& canvas, int32_t bitsPerPixel) {
    if (!canvas.Create(image.width, image.height, bitsPerPixel, 0, Palette256{})) return false;
    std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const uint8_t* p = image.At(x, y);
            row[x * 3] = p[2], row[x * 3 + 1] = p[1], row[x * 3 + 2] = p[0];
        }
        if (!canvas.PutRow(24, image.height - 1 - y, row.data())) return false;
    }
    return true;
}

uint64_t Fnv1a(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

void ExpectGolden(const std::string& goldenPath, const std::string& outcomes) {
    if (std::getenv("MARBLEYE_UPDATE_GOLDEN")) {
        WriteFileBytes(goldenPath, outcomes);
        GTEST_SKIP() << "rewrote " << goldenPath;
    }
    EXPECT_EQ(outcomes, ReadFileBytes(goldenPath))
        << "a reader change altered these outcomes; if intended, rerun with MARBLEYE_UPDATE_GOLDEN=1";
}

std::string FirstDifference(const RgbImage& expected, const RgbImage& actual) {
    if (expected.width != actual.width || expected.height != actual.height) {
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) + ", expected " +
               std::to_string(expected.width) + "x" + std::to_string(expected.height);
    }
    for (int32_t y = 0; y < expected.height; ++y) {
        for (int32_t x = 0; x < expected.width; ++x) {
            const uint8_t* e = expected.At(x, y);
            const uint8_t* a = actual.At(x, y);
            if (e[0] != a[0] || e[1] != a[1] || e[2] != a[2]) {
                char text[160];
                std::snprintf(text, sizeof text, "pixel (%d,%d) is (%d,%d,%d), expected (%d,%d,%d)", x, y, a[0], a[1],
                              a[2], e[0], e[1], e[2]);
                return text;
            }
        }
    }
    return "identical";
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::array<int, 3> PixelOf(const LoadedPicture& picture, int32_t x, int32_t y) {
    const RgbImage rgb = CanvasToRgb(*picture.canvas);
    const uint8_t* p = rgb.At(x, y);
    return {p[0], p[1], p[2]};
}

std::string OutcomeLine(const std::string& name, const LoadedPicture& picture) {
    std::ostringstream line;
    line << name << ' ';
    if (!picture.ok()) {
        line << "message " << picture.message();
    } else {
        const RgbImage rgb = CanvasToRgb(*picture.canvas);
        line << rgb.width << 'x' << rgb.height << " stored " << picture.image.fileBitDepth << " rgb " << std::hex
             << Fnv1a(rgb.rgb);
    }
    return line.str() + "\n";
}

LoadedPicture LoadPicture(const std::string& path, const LoadOptions& options, Host& host) {
    LoadedPicture picture;
    LoadContext context{*picture.canvas, picture.image, options, host};
    picture.result = LoadImageFile(path, context);
    return picture;
}

}  // namespace marbleye::test
