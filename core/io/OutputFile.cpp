#include "io/OutputFile.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/PathText.h"

namespace marbleye {

std::string TemporaryPathFor(const std::string& targetPath) {
    const std::string_view name = FileNameOf(targetPath);
    std::string path = targetPath.substr(0, targetPath.size() - name.size());
    path += '~';
    path += name;
    path += ".tmp";
    return path;
}

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Open(const std::string& targetPath) {
    Abandon();
    targetPath_ = targetPath;
    temporaryPath_ = TemporaryPathFor(targetPath);
    file_ = std::fopen(temporaryPath_.c_str(), "wb");
    failed_ = file_ == nullptr;
    return file_ != nullptr;
}

void OutputFile::Write(const void* data, size_t count) {
    if (failed_ || count == 0) return;
    if (std::fwrite(data, 1, count, file_) != count) failed_ = true;
}

void OutputFile::U16LE(uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    Write(bytes, 2);
}

void OutputFile::U32LE(uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Write(bytes, 4);
}

void OutputFile::U16BE(uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    Write(bytes, 2);
}

void OutputFile::U32BE(uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                              static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
    Write(bytes, 4);
}

void OutputFile::Zeros(size_t count) {
    static const uint8_t kZeros[64] = {};
    while (count > 0) {
        const size_t chunk = count < sizeof kZeros ? count : sizeof kZeros;
        Write(kZeros, chunk);
        count -= chunk;
    }
}

bool OutputFile::Commit() {
    if (!file_) return false;
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (failed_ || !flushed || !closed) {
        failed_ = true;
        Abandon();
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporaryPath_, targetPath_, error);
    if (error) {
        failed_ = true;
        Abandon();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

void OutputFile::Abandon() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporaryPath_, ignored);
        temporaryPath_.clear();
    }
}

}  // namespace marbleye
