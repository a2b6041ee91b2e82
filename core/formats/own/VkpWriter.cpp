#include <zlib.h>

#include <algorithm>
#include <memory>
#include <new>

#include "canvas/TrueColourRows.h"
#include "formats/own/Vkp.h"
#include "formats/own/VkpFormat.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

using namespace vkp;

// Decimal numbers, each followed by one blank, collected before writing.
class TextNumbers {
public:
    void Add(uint32_t value) {
        char digits[12];
        int length = 0;
        do {
            digits[length++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0);
        while (length > 0) text_ += digits[--length];
        text_ += ' ';
    }
    void Add(std::string_view word) {
        text_ += word;
        text_ += ' ';
    }
    void FlushTo(OutputFile& out) {
        out.Write(text_.data(), text_.size());
        text_.clear();
    }

private:
    std::string text_;
};

Status WriteTextVersion(const std::string& path, const TrueColourRows& pixels, bool runLength, Host& host) {
    OutputFile out;
    if (!out.Open(path)) return Status::Fail(std::string(kCannotCreate));
    TextNumbers numbers;
    numbers.Add(kTextMagic);
    for (uint32_t field : {1u, static_cast<uint32_t>(pixels.width()), static_cast<uint32_t>(pixels.height()),
                           runLength ? 1u : 0u, 0u, 0u}) {
        numbers.Add(field);
    }
    ProgressScope progress(host, pixels.height());
    const uint8_t* first = pixels.Row(pixels.height() - 1);
    uint32_t current[3] = {first[2], first[1], first[0]};  // red, green, blue
    uint32_t count = 0;
    for (int32_t y = pixels.height() - 1; y >= 0; --y) {
        const uint8_t* row = pixels.Row(y);
        for (int32_t x = 0; x < pixels.width(); ++x) {
            const uint32_t r = row[x * 3 + 2], g = row[x * 3 + 1], b = row[x * 3];
            if (!runLength) {
                numbers.Add(r), numbers.Add(g), numbers.Add(b);
            } else if (r == current[0] && g == current[1] && b == current[2]) {
                ++count;
            } else {
                numbers.Add(count), numbers.Add(current[0]), numbers.Add(current[1]), numbers.Add(current[2]);
                current[0] = r, current[1] = g, current[2] = b;
                count = 1;
            }
        }
        numbers.FlushTo(out);
        progress.Step();
    }
    if (runLength) numbers.Add(count), numbers.Add(current[0]), numbers.Add(current[1]), numbers.Add(current[2]);
    numbers.FlushTo(out);
    if (!out.Commit()) return Status::Fail(std::string(kWriteError));
    return Status::Ok();
}

Status WriteBinaryVersion(const std::string& path, const TrueColourRows& pixels, int32_t level, Host& host) {
    ProgressScope progress(host, 4);
    OutputFile out;
    if (!out.Open(path)) return Status::Fail(std::string(kCannotCreate));
    progress.Step();
    const uLong rawSize = static_cast<uLong>(pixels.byteCount());
    const uLong bound = compressBound(rawSize);
    std::unique_ptr<uint8_t[]> packed(new (std::nothrow) uint8_t[bound]);
    if (!packed) return Status::Fail(std::string(kNoMemoryForCompression));
    progress.Step();
    uLongf packedSize = bound;
    if (compress2(packed.get(), &packedSize, pixels.data(), rawSize, std::clamp(level, 0, 9)) != Z_OK) {
        return Status::Fail(std::string(kCompressionError));
    }
    progress.Step();
    out.Write(kBinaryMagic, 2);
    out.U8(2);
    out.U16LE(static_cast<uint16_t>(pixels.width()));
    out.U16LE(static_cast<uint16_t>(pixels.height()));
    out.U32LE(static_cast<uint32_t>(rawSize));
    out.U32LE(static_cast<uint32_t>(packedSize));
    out.Write(packed.get(), packedSize);
    if (!out.Commit()) return Status::Fail(std::string(kWriteError));
    progress.Step();
    return Status::Ok();
}

}  // namespace

Status WriteVkp(const std::string& path, const ImageCanvas& canvas, const VkpWriteOptions& options, Host& host) {
    const TrueColourRows pixels(canvas);
    if (pixels.empty()) return Status::Fail(std::string(kNoMemoryForCopy));
    const bool fitsBinary = static_cast<uint32_t>(pixels.width()) <= kMaxBinarySide &&
                            static_cast<uint32_t>(pixels.height()) <= kMaxBinarySide;
    if (options.version == 1) return WriteTextVersion(path, pixels, options.runLength, host);
    if (!fitsBinary) return WriteTextVersion(path, pixels, true, host);
    return WriteBinaryVersion(path, pixels, options.level, host);
}

}  // namespace marbleye
