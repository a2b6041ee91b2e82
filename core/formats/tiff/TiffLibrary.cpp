#include "formats/tiff/TiffLibrary.h"

#include <cstring>

namespace marbleye::tiff {

namespace {

// No single allocation of the library may pass this; hostile strip and tile
// sizes are refused instead of allocated.
constexpr tmsize_t kLargestAllocation = tmsize_t(512) << 20;

int Quiet(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct OptionsDeleter {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

std::unique_ptr<TIFFOpenOptions, OptionsDeleter> QuietOptions() {
    std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
    if (options) {
        TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kLargestAllocation);
        TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Quiet, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Quiet, nullptr);
    }
    return options;
}

tmsize_t MemoryRead(thandle_t handle, void* target, tmsize_t count) {
    auto* source = static_cast<MemorySource*>(handle);
    if (count <= 0 || source->position >= source->bytes.size()) return 0;
    const uint64_t left = source->bytes.size() - source->position;
    const uint64_t taken = std::min<uint64_t>(left, static_cast<uint64_t>(count));
    std::memcpy(target, source->bytes.data() + source->position, taken);
    source->position += taken;
    return static_cast<tmsize_t>(taken);
}

tmsize_t NoWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t MemorySeek(thandle_t handle, toff_t offset, int whence) {
    auto* source = static_cast<MemorySource*>(handle);
    uint64_t base = 0;
    if (whence == SEEK_CUR) base = source->position;
    if (whence == SEEK_END) base = source->bytes.size();
    source->position = base + offset;
    return source->position;
}

int KeepOpen(thandle_t) { return 0; }

toff_t MemorySize(thandle_t handle) { return static_cast<MemorySource*>(handle)->bytes.size(); }

int NoMap(thandle_t, void**, toff_t*) { return 0; }
void NoUnmap(thandle_t, void*, toff_t) {}

tmsize_t StreamRead(thandle_t handle, void* target, tmsize_t count) {
    return static_cast<tmsize_t>(std::fread(target, 1, static_cast<size_t>(count), static_cast<std::FILE*>(handle)));
}

tmsize_t StreamWrite(thandle_t handle, void* source, tmsize_t count) {
    return static_cast<tmsize_t>(std::fwrite(source, 1, static_cast<size_t>(count), static_cast<std::FILE*>(handle)));
}

toff_t StreamSeek(thandle_t handle, toff_t offset, int whence) {
    auto* stream = static_cast<std::FILE*>(handle);
    if (fseeko(stream, static_cast<off_t>(offset), whence) != 0) return static_cast<toff_t>(-1);
    return static_cast<toff_t>(ftello(stream));
}

toff_t StreamSize(thandle_t handle) {
    auto* stream = static_cast<std::FILE*>(handle);
    const off_t here = ftello(stream);
    fseeko(stream, 0, SEEK_END);
    const off_t size = ftello(stream);
    fseeko(stream, here, SEEK_SET);
    return static_cast<toff_t>(size);
}

}  // namespace

Handle OpenFile(const std::string& path) {
    const auto options = QuietOptions();
    return Handle(TIFFOpenExt(path.c_str(), "r", options.get()));
}

MemoryTiff OpenMemory(std::span<const uint8_t> bytes) {
    const auto options = QuietOptions();
    MemoryTiff tiff{std::make_unique<MemorySource>(MemorySource{bytes}), nullptr};
    tiff.handle.reset(TIFFClientOpenExt("memory", "rm", tiff.source.get(), MemoryRead, NoWrite, MemorySeek, KeepOpen,
                                        MemorySize, NoMap, NoUnmap, options.get()));
    return tiff;
}

Handle CreateOnStream(std::FILE* stream) {
    const auto options = QuietOptions();
    return Handle(TIFFClientOpenExt("output", "w", stream, StreamRead, StreamWrite, StreamSeek, KeepOpen,
                                    StreamSize, NoMap, NoUnmap, options.get()));
}

}  // namespace marbleye::tiff
