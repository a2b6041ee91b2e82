#include <vector>

extern "C" {
#include <jbig.h>
}

#include "canvas/PixelLimits.h"
#include "formats/jbig/Jbig.h"
#include "io/InputFile.h"

namespace marbleye {

namespace {

constexpr std::string_view kReadError = "Problem while reading input file";
constexpr std::string_view kBadInput = "Problem with input file";
constexpr std::string_view kNoMemory = "Sorry, not enough memory available!";

// The decoder's state, released however the load ends.
struct Decoder {
    jbg_dec_state state;
    Decoder() { jbg_dec_init(&state); }
    ~Decoder() { jbg_dec_free(&state); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

uint32_t BigEndian32(const uint8_t* bytes) {
    return (uint32_t(bytes[0]) << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

// Collects the merged gray bytes of a picture of several planes.
void CollectBytes(unsigned char* start, size_t length, void* target) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(target);
    bytes->insert(bytes->end(), start, start + length);
}

}  // namespace

Status ReadJbig(const std::string& path, LoadContext& context) {
    InputFile file;
    if (!file.Open(path)) return Status::Fail("Unable to open file!");
    // The header (planes at byte 2, width and height at bytes 4 and 8) is
    // checked before the decoder allocates anything for it.
    uint8_t header[20] = {};
    if (!file.ReadExact(header, sizeof header)) return Status::Fail(std::string(kBadInput));
    const int planes = header[2];
    const uint32_t declaredWidth = BigEndian32(header + 4), declaredHeight = BigEndian32(header + 8);
    if (planes < 1 || planes > 8 || !CheckedLayout(declaredWidth, std::min<uint32_t>(declaredHeight, 0x7FFFFFFF), 8)) {
        return Status::Fail(std::string(kNoMemory));
    }
    if (!file.Seek(0)) return Status::Fail(std::string(kReadError));

    Decoder decoder;
    jbg_dec_maxsize(&decoder.state, declaredWidth, declaredHeight);
    std::vector<uint8_t> buffer(64 * 1024);
    int result = JBG_EAGAIN;
    while (result == JBG_EAGAIN) {
        const size_t count = file.Read(buffer.data(), buffer.size());
        if (count == 0) break;
        size_t used = 0;
        result = jbg_dec_in(&decoder.state, buffer.data(), count, &used);
    }
    if (result == JBG_ENOMEM) return Status::Fail(std::string(kNoMemory));
    if (result != JBG_EOK) return Status::Fail(std::string(result == JBG_EAGAIN ? kReadError : kBadInput));

    const auto width = static_cast<int32_t>(jbg_dec_getwidth(&decoder.state));
    const auto height = static_cast<int32_t>(jbg_dec_getheight(&decoder.state));
    const int decodedPlanes = jbg_dec_getplanes(&decoder.state);
    CurrentImage& image = context.image;
    image.width = width;
    image.height = height;
    image.fileBitDepth = decodedPlanes;
    const size_t sourceRow = (static_cast<size_t>(width) + 7) / 8;
    if (decodedPlanes == 1) {
        // White-black: entry 0 white, entry 1 black, as JBIG's bits mean.
        image.palette = Palette256{};
        image.palette[0] = image.palette[1] = image.palette[2] = 255;
        if (!context.canvas.Create(width, height, 1, 0, image.palette)) return Status::Fail(std::string(kNoMemory));
        const uint8_t* bits = jbg_dec_getimage(&decoder.state, 0);
        for (int32_t y = 0; y < height; ++y) {
            std::copy(bits + y * sourceRow, bits + (y + 1) * sourceRow, context.canvas.Row(height - 1 - y));
            context.RowDone();
        }
        return Status::Ok();
    }
    std::vector<uint8_t> gray;
    jbg_dec_merge_planes(&decoder.state, 1, CollectBytes, &gray);
    if (gray.size() != static_cast<size_t>(width) * height) return Status::Fail(std::string(kBadInput));
    // Merged values are graymap levels: 0 is black.
    const int top = (1 << decodedPlanes) - 1;
    image.palette = Palette256{};
    for (int value = 0; value <= top; ++value) {
        const auto level = static_cast<uint8_t>(value * 255 / top);
        image.palette[value * 3] = image.palette[value * 3 + 1] = image.palette[value * 3 + 2] = level;
    }
    if (!context.canvas.Create(width, height, 8, 0, image.palette)) return Status::Fail(std::string(kNoMemory));
    for (int32_t y = 0; y < height; ++y) {
        std::copy(gray.begin() + static_cast<ptrdiff_t>(y) * width, gray.begin() + static_cast<ptrdiff_t>(y + 1) * width,
                  context.canvas.Row(height - 1 - y));
        context.RowDone();
    }
    return Status::Ok();
}

}  // namespace marbleye
