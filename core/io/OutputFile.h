#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace marbleye {

// Where every writer writes: a temporary file beside the target that replaces
// the target only when Commit succeeds. A save that fails part-way (or is
// never committed) removes the temporary file and leaves the old target as it
// was.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Open(const std::string& targetPath);

    // Writes are remembered as failed instead of being checked one by one;
    // Commit reports the outcome of all of them.
    void Write(const void* data, size_t count);
    void U8(uint8_t value) { Write(&value, 1); }
    void U16LE(uint16_t value);
    void U32LE(uint32_t value);
    void U16BE(uint16_t value);
    void U32BE(uint32_t value);
    void Zeros(size_t count);

    // The open temporary file, for libraries that write through stdio;
    // Commit sees their write errors too.
    std::FILE* stream() { return file_; }

    bool failed() const { return failed_; }
    // Flushes, closes and renames the temporary file over the target.
    bool Commit();

private:
    void Abandon();

    std::FILE* file_ = nullptr;
    std::string targetPath_;
    std::string temporaryPath_;
    bool failed_ = false;
};

// The temporary name used while writing targetPath: "~" and the file name
// with ".tmp" appended, in the target's folder.
std::string TemporaryPathFor(const std::string& targetPath);

}  // namespace marbleye
