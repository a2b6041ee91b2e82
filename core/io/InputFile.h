#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace marbleye {

// A file opened for binary reading, with its own buffer so that byte-at-a-time
// decoders stay fast. Reads never pass the end of the file; a short read sets
// atEnd() and leaves the rest of the caller's buffer untouched.
class InputFile {
public:
    InputFile() = default;
    InputFile(InputFile&&) = default;
    InputFile& operator=(InputFile&&) = default;

    bool Open(const std::string& path);

    uint64_t size() const { return size_; }
    uint64_t Tell() const { return bufferStart_ + cursor_; }
    bool Seek(uint64_t position);
    // True once a read has found the end of the file (or a read error).
    bool atEnd() const { return atEnd_; }

    // The number of bytes read into target, at most count.
    size_t Read(void* target, size_t count);
    bool ReadExact(void* target, size_t count) { return Read(target, count) == count; }
    // The next byte, or -1 at the end of the file.
    int ReadByte() {
        if (cursor_ < filled_) return buffer_[cursor_++];
        return ReadByteSlow();
    }
    bool Skip(uint64_t count) { return Seek(Tell() + count); }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    static constexpr size_t kBufferSize = 64 * 1024;

    int ReadByteSlow();
    bool Refill();

    std::unique_ptr<std::FILE, Closer> file_;
    std::unique_ptr<uint8_t[]> buffer_;
    uint64_t size_ = 0;
    uint64_t bufferStart_ = 0;  // file offset of buffer_[0]
    size_t cursor_ = 0;
    size_t filled_ = 0;
    bool atEnd_ = false;
};

}  // namespace marbleye
