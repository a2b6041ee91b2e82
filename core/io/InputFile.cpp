#include "io/InputFile.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace marbleye {

bool InputFile::Open(const std::string& path) {
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) return false;
    buffer_.reset(new (std::nothrow) uint8_t[kBufferSize]);
    if (!buffer_ || std::fseek(file_.get(), 0, SEEK_END) != 0) {
        file_.reset();
        return false;
    }
    const long end = std::ftell(file_.get());
    if (end < 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0) {
        file_.reset();
        return false;
    }
    size_ = static_cast<uint64_t>(end);
    bufferStart_ = 0;
    cursor_ = filled_ = 0;
    atEnd_ = false;
    return true;
}

bool InputFile::Seek(uint64_t position) {
    if (!file_) return false;
    if (position >= bufferStart_ && position <= bufferStart_ + filled_) {
        cursor_ = static_cast<size_t>(position - bufferStart_);
    } else {
        if (position > size_) position = size_;
        if (std::fseek(file_.get(), static_cast<long>(position), SEEK_SET) != 0) return false;
        bufferStart_ = position;
        cursor_ = filled_ = 0;
    }
    atEnd_ = false;
    return true;
}

bool InputFile::Refill() {
    bufferStart_ += filled_;
    cursor_ = 0;
    filled_ = std::fread(buffer_.get(), 1, kBufferSize, file_.get());
    if (filled_ == 0) atEnd_ = true;
    return filled_ > 0;
}

int InputFile::ReadByteSlow() {
    if (!file_ || !Refill()) return -1;
    return buffer_[cursor_++];
}

size_t InputFile::Read(void* target, size_t count) {
    if (!file_) return 0;
    uint8_t* out = static_cast<uint8_t*>(target);
    size_t done = 0;
    while (done < count) {
        if (cursor_ == filled_ && !Refill()) break;
        const size_t chunk = std::min(count - done, filled_ - cursor_);
        std::memcpy(out + done, buffer_.get() + cursor_, chunk);
        cursor_ += chunk;
        done += chunk;
    }
    return done;
}

}  // namespace marbleye
