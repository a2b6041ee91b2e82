#pragma once

#include <cstddef>
#include <cstdint>

namespace marbleye {

// Reads header fields from a byte span without ever passing its end. A read
// past the end yields 0 and sets the failed flag, which the caller checks once
// after a group of fields.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool failed() const { return failed_; }
    size_t position() const { return position_; }
    size_t remaining() const { return size_ - position_; }

    uint8_t U8() { return Has(1) ? data_[position_++] : 0; }
    uint16_t U16LE() { return static_cast<uint16_t>(Take(2, false)); }
    uint32_t U32LE() { return static_cast<uint32_t>(Take(4, false)); }
    int32_t I32LE() { return static_cast<int32_t>(U32LE()); }
    uint16_t U16BE() { return static_cast<uint16_t>(Take(2, true)); }
    uint32_t U32BE() { return static_cast<uint32_t>(Take(4, true)); }

    void Skip(size_t count) {
        if (Has(count)) position_ += count;
    }

private:
    bool Has(size_t count) {
        if (count <= size_ - position_) return true;
        failed_ = true;
        position_ = size_;
        return false;
    }
    uint64_t Take(size_t count, bool bigEndian) {
        if (!Has(count)) return 0;
        uint64_t value = 0;
        for (size_t i = 0; i < count; ++i) {
            const uint64_t byte = data_[position_ + (bigEndian ? i : count - 1 - i)];
            value = (value << 8) | byte;
        }
        position_ += count;
        return value;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace marbleye
