#pragma once

// libtiff opened on a path, on bytes in memory or on an open stdio stream,
// with its messages kept from the console. Included by core units only.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include <tiffio.h>

namespace marbleye::tiff {

struct Closer {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using Handle = std::unique_ptr<TIFF, Closer>;

Handle OpenFile(const std::string& path);

// A TIFF read from bytes in memory, which must outlive it.
struct MemorySource {
    std::span<const uint8_t> bytes;
    uint64_t position = 0;
};
struct MemoryTiff {
    std::unique_ptr<MemorySource> source;  // declared first: the handle goes first
    Handle handle;
};
MemoryTiff OpenMemory(std::span<const uint8_t> bytes);

// For writing: the stream stays open after the handle is closed.
Handle CreateOnStream(std::FILE* stream);

}  // namespace marbleye::tiff
