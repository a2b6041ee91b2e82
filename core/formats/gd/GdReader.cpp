#include <vector>

#include <zlib.h>

#include "canvas/PixelLimits.h"
#include "formats/gd/Gd.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kCannotOpen = "Couldn't load GD file!";
constexpr std::string_view kCannotLoad = "Couldn't load GD/GD2 file!";

// The GD2 chunk size limits of the format's published layout.
constexpr uint32_t kSmallestChunk = 64;
constexpr uint32_t kLargestChunk = 4096;

class BigEndianFile {
public:
    explicit BigEndianFile(InputFile& file) : file_(file) {}
    bool ok() const { return ok_; }
    uint8_t Byte() {
        const int c = file_.ReadByte();
        if (c < 0) ok_ = false;
        return static_cast<uint8_t>(c < 0 ? 0 : c);
    }
    uint16_t Word() {
        const uint16_t high = Byte();
        return static_cast<uint16_t>((high << 8) | Byte());
    }
    uint32_t Int() {
        const uint32_t high = Word();
        return (high << 16) | Word();
    }

private:
    InputFile& file_;
    bool ok_ = true;
};

// Reads the colour header: the 2.x form (true-colour flag, colour count,
// transparent colour, 256 entries of red, green, blue, alpha) or the 1.x
// form (colour count, transparent colour, 256 entries of red, green, blue).
bool ReadColours(BigEndianFile& in, bool twoX, bool trueColour, Palette256& palette) {
    if (twoX) {
        if (in.Byte() != (trueColour ? 1 : 0)) return false;
        if (!trueColour && in.Word() > 256) return false;
        in.Int();  // transparent colour
    } else {
        in.Byte();  // colour count
        in.Word();  // transparent colour
    }
    if (trueColour) return in.ok();
    for (int i = 0; i < 256; ++i) {
        palette[i * 3] = in.Byte();
        palette[i * 3 + 1] = in.Byte();
        palette[i * 3 + 2] = in.Byte();
        if (twoX) in.Byte();  // alpha
    }
    return in.ok();
}

// Writes one GD pixel (a palette index, or 0x7FRRGGBB with alpha on top)
// into the 24-bit canvas as blue, green, red.
class PixelSink {
public:
    PixelSink(ImageCanvas& canvas, const Palette256& palette, bool trueColour)
        : canvas_(canvas), palette_(palette), trueColour_(trueColour) {}
    void Put(int32_t x, int32_t y, uint32_t value) {
        uint8_t* pixel = canvas_.Row(canvas_.height() - 1 - y) + static_cast<size_t>(x) * 3;
        if (trueColour_) {
            pixel[0] = static_cast<uint8_t>(value), pixel[1] = static_cast<uint8_t>(value >> 8);
            pixel[2] = static_cast<uint8_t>(value >> 16);
        } else {
            const size_t index = (value & 0xFF) * 3;
            pixel[0] = palette_[index + 2], pixel[1] = palette_[index + 1], pixel[2] = palette_[index];
        }
    }

private:
    ImageCanvas& canvas_;
    const Palette256& palette_;
    bool trueColour_;
};

bool CreateCanvas(LoadContext& context, uint32_t width, uint32_t height, bool trueColour) {
    CurrentImage& image = context.image;
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.fileBitDepth = trueColour ? 24 : 8;
    return CheckedLayout(width, height, 24) && context.canvas.Create(image.width, image.height, 24, 0, Palette256{});
}

Status ReadGdBody(InputFile& file, LoadContext& context) {
    BigEndianFile in(file);
    uint32_t width = in.Word();
    const bool twoX = width == 0xFFFE || width == 0xFFFF;
    const bool trueColour = width == 0xFFFF;
    if (twoX) width = in.Word();
    const uint32_t height = in.Word();
    Palette256 palette{};
    if (!in.ok() || width == 0 || height == 0 || !ReadColours(in, twoX, trueColour, palette)) {
        return Status::Fail(std::string(kCannotLoad));
    }
    if (!CreateCanvas(context, width, height, trueColour)) return Status::Fail("Out of Memory!");
    context.image.palette = palette;
    PixelSink sink(context.canvas, palette, trueColour);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) sink.Put(int32_t(x), int32_t(y), trueColour ? in.Int() : in.Byte());
        if (!in.ok()) return Status::Fail(std::string(kCannotLoad));
        context.RowDone();
    }
    return Status::Ok();
}

struct ChunkPlace {
    uint32_t offset = 0;
    uint32_t size = 0;
};

Status ReadGd2Body(InputFile& file, LoadContext& context) {
    BigEndianFile in(file);
    char magic[4] = {};
    for (char& c : magic) c = static_cast<char>(in.Byte());
    const uint16_t version = in.Word();
    const uint32_t width = in.Word(), height = in.Word(), chunkSize = in.Word(), format = in.Word();
    const uint32_t chunksAcross = in.Word(), chunksDown = in.Word();
    const bool compressed = format == 2 || format == 4;
    const bool trueColour = format == 3 || format == 4;
    if (!in.ok() || std::string_view(magic, 4) != std::string_view("gd2\0", 4) || (version != 1 && version != 2) ||
        format < 1 || format > 4 || width == 0 || height == 0 || chunkSize < kSmallestChunk ||
        chunkSize > kLargestChunk || chunksAcross == 0 || chunksDown == 0 ||
        chunksAcross > (width + chunkSize - 1) / chunkSize || chunksDown > (height + chunkSize - 1) / chunkSize) {
        return Status::Fail(std::string(kCannotLoad));
    }
    std::vector<ChunkPlace> chunks;
    if (compressed) {
        chunks.resize(size_t(chunksAcross) * chunksDown);
        for (ChunkPlace& chunk : chunks) chunk.offset = in.Int(), chunk.size = in.Int();
    }
    Palette256 palette{};
    if (!in.ok() || !ReadColours(in, version == 2, trueColour, palette)) return Status::Fail(std::string(kCannotLoad));
    if (!CreateCanvas(context, width, height, trueColour)) return Status::Fail("Out of Memory!");
    context.image.palette = palette;

    PixelSink sink(context.canvas, palette, trueColour);
    const uint32_t pixelBytes = trueColour ? 4 : 1;
    std::vector<uint8_t> packed, pixels(size_t(chunkSize) * chunkSize * pixelBytes);
    for (uint32_t cy = 0; cy < chunksDown; ++cy) {
        for (uint32_t cx = 0; cx < chunksAcross; ++cx) {
            const uint32_t left = cx * chunkSize, top = cy * chunkSize;
            const uint32_t right = std::min(left + chunkSize, width), bottom = std::min(top + chunkSize, height);
            const size_t needed = size_t(right - left) * (bottom - top) * pixelBytes;
            if (compressed) {
                const ChunkPlace& place = chunks[size_t(cy) * chunksAcross + cx];
                if (uint64_t(place.offset) + place.size > file.size()) return Status::Fail(std::string(kCannotLoad));
                packed.resize(place.size);
                if (!file.Seek(place.offset) || !file.ReadExact(packed.data(), packed.size())) {
                    return Status::Fail(std::string(kCannotLoad));
                }
                uLongf inflated = static_cast<uLongf>(pixels.size());
                if (uncompress(pixels.data(), &inflated, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
                    inflated < needed) {
                    return Status::Fail(std::string(kCannotLoad));
                }
            } else if (!file.ReadExact(pixels.data(), needed)) {
                return Status::Fail(std::string(kCannotLoad));
            }
            const uint8_t* at = pixels.data();
            for (uint32_t y = top; y < bottom; ++y) {
                for (uint32_t x = left; x < right; ++x, at += pixelBytes) {
                    const uint32_t value = trueColour ? (uint32_t(at[0]) << 24) | (at[1] << 16) | (at[2] << 8) | at[3] : at[0];
                    sink.Put(int32_t(x), int32_t(y), value);
                }
            }
            context.RowDone();
        }
    }
    return Status::Ok();
}

}  // namespace

Status ReadGd(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail(std::string(kCannotOpen));
    const bool gd2 = !path.empty() && path.back() == '2';
    return gd2 ? ReadGd2Body(file, context) : ReadGdBody(file, context);
}

}  // namespace marbleye
