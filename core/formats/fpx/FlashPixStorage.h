#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace marbleye::fpx {

// A stream of the compound document, read piece by piece; never reads past
// its end.
class StorageStream {
public:
    struct Handle;
    explicit StorageStream(std::unique_ptr<Handle> handle);
    ~StorageStream();
    StorageStream(const StorageStream&) = delete;
    StorageStream& operator=(const StorageStream&) = delete;

    uint64_t size() const { return size_; }
    // Fills count bytes from offset; false when they are not all there.
    bool ReadAt(uint64_t offset, uint8_t* target, size_t count);
    // The whole stream when it has at most limit bytes, else empty.
    std::vector<uint8_t> ReadAll(uint64_t limit);

private:
    std::unique_ptr<Handle> handle_;
    uint64_t size_ = 0;
};

// A storage of the compound document (the root or one below it).
class Storage {
public:
    struct Handle;
    explicit Storage(std::unique_ptr<Handle> handle);
    ~Storage();
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;

    // The compound document in the file, or nothing when the file is not one.
    static std::unique_ptr<Storage> OpenFile(const std::string& path);

    bool HasChild(const std::string& name) const;
    std::unique_ptr<StorageStream> OpenStream(const std::string& name) const;
    std::unique_ptr<Storage> OpenStorage(const std::string& name) const;
    std::vector<std::string> StorageNames() const;
    // The size of the file the document was opened from.
    uint64_t fileSize() const;

private:
    std::unique_ptr<Handle> handle_;
};

}  // namespace marbleye::fpx
