#include "formats/gif/GifLzw.h"

#include <array>

namespace marbleye::gif {

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxWidth = 12;

// Reads codes least-significant bit first from data sub-blocks.
class CodeReader {
public:
    explicit CodeReader(InputFile& file) : file_(file) {}

    // The next code, or -1 when the file ends.
    int Read(int width) {
        while (bitCount_ < width) {
            if (blockLeft_ == 0) {
                if (finished_) return -1;
                const int length = file_.ReadByte();
                if (length < 0) return -1;
                if (length == 0) {
                    finished_ = true;
                    return -1;
                }
                blockLeft_ = length;
            }
            const int byte = file_.ReadByte();
            if (byte < 0) return -1;
            --blockLeft_;
            bits_ |= static_cast<uint32_t>(byte) << bitCount_;
            bitCount_ += 8;
        }
        const int code = static_cast<int>(bits_ & ((1u << width) - 1));
        bits_ >>= width;
        bitCount_ -= width;
        return code;
    }

    // Skips what is left of the data up to its zero-length block.
    void SkipRest() {
        if (finished_) return;
        for (;;) {
            while (blockLeft_ > 0) {
                if (file_.ReadByte() < 0) return;
                --blockLeft_;
            }
            const int length = file_.ReadByte();
            if (length <= 0) return;
            blockLeft_ = length;
        }
    }

    bool finished() const { return finished_; }

private:
    InputFile& file_;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    int blockLeft_ = 0;
    bool finished_ = false;
};

}  // namespace

LzwEnd DecodeLzw(InputFile& file, int32_t width, const std::function<bool(const uint8_t*, size_t)>& writeLine) {
    const int minimum = file.ReadByte();
    if (minimum < 0) return LzwEnd::kReadFailure;
    if (minimum < 2 || minimum > 9) {
        CodeReader(file).SkipRest();
        return LzwEnd::kBadCodeSize;
    }
    const int clear = 1 << minimum, end = clear + 1;
    std::array<uint16_t, kMaxCodes> prefix{};
    std::array<uint8_t, kMaxCodes> suffix{};
    std::array<uint8_t, kMaxCodes> first{};
    for (int i = 0; i < clear; ++i) suffix[i] = first[i] = static_cast<uint8_t>(i);
    std::array<uint8_t, kMaxCodes + 1> stack{};
    std::vector<uint8_t> line(static_cast<size_t>(width));
    size_t filled = 0;

    CodeReader codes(file);
    int codeWidth = minimum + 1, nextFree = clear + 2, previous = -1;
    const auto emit = [&](uint8_t pixel) {
        line[filled++] = pixel;
        if (filled < line.size()) return true;
        filled = 0;
        return writeLine(line.data(), line.size());
    };
    for (;;) {
        int code = codes.Read(codeWidth);
        if (code < 0) return LzwEnd::kReadFailure;
        if (code == clear) {
            codeWidth = minimum + 1, nextFree = clear + 2;
            do {
                code = codes.Read(codeWidth);
            } while (code == clear);
            if (code < 0) return LzwEnd::kReadFailure;
            if (code == end) break;
            if (code >= nextFree) code = 0;
            previous = code;
            if (!emit(first[code])) return LzwEnd::kLinesRefused;
            continue;
        }
        if (code == end) break;
        if (previous < 0) {  // data without a leading clear code
            previous = code < clear ? code : 0;
            if (!emit(first[previous])) return LzwEnd::kLinesRefused;
            continue;
        }
        // A code not yet in the table is the previous string plus its own
        // first character (or a bad code, read the same way).
        int depth = 0;
        int walk = code;
        if (code >= nextFree) {
            stack[depth++] = first[previous];
            walk = previous;
        }
        while (walk >= clear) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        stack[depth++] = static_cast<uint8_t>(walk);
        const uint8_t head = static_cast<uint8_t>(walk);
        while (depth > 0) {
            if (!emit(stack[--depth])) return LzwEnd::kLinesRefused;
        }
        if (nextFree < kMaxCodes) {
            prefix[nextFree] = static_cast<uint16_t>(previous);
            suffix[nextFree] = head;
            first[nextFree] = first[previous];
            ++nextFree;
            if (nextFree == (1 << codeWidth) && codeWidth < kMaxWidth) ++codeWidth;
        }
        previous = code >= nextFree ? nextFree - 1 : code;
    }
    if (filled > 0) writeLine(line.data(), filled);
    codes.SkipRest();
    return LzwEnd::kEndCode;
}

namespace {

// Packs codes least-significant bit first into sub-blocks of 254 bytes.
class CodeWriter {
public:
    explicit CodeWriter(OutputFile& out) : out_(out) {}
    void Write(int code, int width) {
        bits_ |= static_cast<uint32_t>(code) << bitCount_;
        bitCount_ += width;
        while (bitCount_ >= 8) {
            Byte(static_cast<uint8_t>(bits_ & 0xFF));
            bits_ >>= 8;
            bitCount_ -= 8;
        }
    }
    void Finish() {
        if (bitCount_ > 0) Byte(static_cast<uint8_t>(bits_ & 0xFF));
        bits_ = 0, bitCount_ = 0;
        FlushBlock();
        out_.U8(0);
    }

private:
    void Byte(uint8_t byte) {
        block_[blockLength_++] = byte;
        if (blockLength_ == 254) FlushBlock();
    }
    void FlushBlock() {
        if (blockLength_ == 0) return;
        out_.U8(static_cast<uint8_t>(blockLength_));
        out_.Write(block_.data(), blockLength_);
        blockLength_ = 0;
    }

    OutputFile& out_;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
    std::array<uint8_t, 254> block_{};
    size_t blockLength_ = 0;
};

}  // namespace

void EncodeLzw(const std::vector<uint8_t>& indices, OutputFile& out) {
    constexpr int kHashSize = 5003;
    constexpr int kClear = 256, kEnd = 257, kFirstFree = 258;
    out.U8(8);
    CodeWriter writer(out);
    std::vector<int32_t> hashKeys(kHashSize, -1);
    std::vector<uint16_t> hashCodes(kHashSize, 0);
    int width = 9, maxCode = (1 << width) - 1, nextFree = kFirstFree;
    bool cleared = false;
    const auto output = [&](int code) {
        writer.Write(code, width);
        if (nextFree > maxCode || cleared) {
            if (cleared) {
                width = 9;
                cleared = false;
            } else {
                ++width;
            }
            maxCode = width == 12 ? kMaxCodes : (1 << width) - 1;
        }
    };
    output(kClear);
    if (indices.empty()) {
        output(kEnd);
        writer.Finish();
        return;
    }
    int prefix = indices[0];
    for (size_t n = 1; n < indices.size(); ++n) {
        const int pixel = indices[n];
        const int32_t key = (pixel << 12) + prefix;
        int slot = (pixel << 4) ^ prefix;
        bool found = false;
        if (hashKeys[slot] == key) {
            found = true;
        } else if (hashKeys[slot] >= 0) {
            const int step = slot == 0 ? 1 : kHashSize - slot;
            do {
                slot -= step;
                if (slot < 0) slot += kHashSize;
                if (hashKeys[slot] == key) {
                    found = true;
                    break;
                }
            } while (hashKeys[slot] >= 0);
        }
        if (found) {
            prefix = hashCodes[slot];
            continue;
        }
        output(prefix);
        prefix = pixel;
        if (nextFree < kMaxCodes) {
            hashCodes[slot] = static_cast<uint16_t>(nextFree++);
            hashKeys[slot] = key;
        } else {
            std::fill(hashKeys.begin(), hashKeys.end(), -1);
            nextFree = kFirstFree;
            cleared = true;
            output(kClear);
        }
    }
    output(prefix);
    output(kEnd);
    writer.Finish();
}

}  // namespace marbleye::gif
