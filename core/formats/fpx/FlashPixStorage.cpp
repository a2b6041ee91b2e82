#include "formats/fpx/FlashPixStorage.h"

#include <mutex>

#include <gsf/gsf.h>

namespace marbleye::fpx {

struct StorageStream::Handle {
    GsfInput* input = nullptr;
    ~Handle() {
        if (input) g_object_unref(input);
    }
};

struct Storage::Handle {
    GsfInfile* infile = nullptr;
    uint64_t fileSize = 0;
    ~Handle() {
        if (infile) g_object_unref(infile);
    }
};

StorageStream::StorageStream(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {
    const gsf_off_t size = gsf_input_size(handle_->input);
    size_ = size > 0 ? static_cast<uint64_t>(size) : 0;
}

StorageStream::~StorageStream() = default;

bool StorageStream::ReadAt(uint64_t offset, uint8_t* target, size_t count) {
    if (offset > size_ || count > size_ - offset) return false;
    if (count == 0) return true;
    if (gsf_input_seek(handle_->input, static_cast<gsf_off_t>(offset), G_SEEK_SET)) return false;
    return gsf_input_read(handle_->input, count, target) != nullptr;
}

std::vector<uint8_t> StorageStream::ReadAll(uint64_t limit) {
    std::vector<uint8_t> bytes;
    if (size_ > limit) return bytes;
    bytes.resize(static_cast<size_t>(size_));
    if (!ReadAt(0, bytes.data(), bytes.size())) bytes.clear();
    return bytes;
}

Storage::Storage(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

Storage::~Storage() = default;

std::unique_ptr<Storage> Storage::OpenFile(const std::string& path) {
    static std::once_flag started;
    std::call_once(started, [] {
        gsf_init();
        // The library complains on the error stream about damaged documents;
        // the reader answers those with its own messages.
        for (const char* domain : {"libgsf:msole", "libgsf"}) {
            g_log_set_handler(domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING),
                              [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        }
    });
    GError* error = nullptr;
    GsfInput* file = gsf_input_stdio_new(path.c_str(), &error);
    if (error) g_error_free(error), error = nullptr;
    if (!file) return nullptr;
    const gsf_off_t fileSize = gsf_input_size(file);
    GsfInfile* infile = gsf_infile_msole_new(file, &error);
    g_object_unref(file);  // the document holds its own reference
    if (error) g_error_free(error);
    if (!infile) return nullptr;
    auto handle = std::make_unique<Handle>();
    handle->infile = infile;
    handle->fileSize = fileSize > 0 ? static_cast<uint64_t>(fileSize) : 0;
    return std::make_unique<Storage>(std::move(handle));
}

bool Storage::HasChild(const std::string& name) const {
    GsfInput* child = gsf_infile_child_by_name(handle_->infile, name.c_str());
    if (!child) return false;
    g_object_unref(child);
    return true;
}

std::unique_ptr<StorageStream> Storage::OpenStream(const std::string& name) const {
    GsfInput* child = gsf_infile_child_by_name(handle_->infile, name.c_str());
    if (!child) return nullptr;
    // Storages are children too; a stream has none of its own.
    if (GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0) {
        g_object_unref(child);
        return nullptr;
    }
    auto handle = std::make_unique<StorageStream::Handle>();
    handle->input = child;
    auto stream = std::make_unique<StorageStream>(std::move(handle));
    // A stream cannot be larger than the file that holds it.
    if (stream->size() > handle_->fileSize) return nullptr;
    return stream;
}

std::unique_ptr<Storage> Storage::OpenStorage(const std::string& name) const {
    GsfInput* child = gsf_infile_child_by_name(handle_->infile, name.c_str());
    if (!child) return nullptr;
    if (!GSF_IS_INFILE(child) || gsf_infile_num_children(GSF_INFILE(child)) < 0) {
        g_object_unref(child);
        return nullptr;
    }
    auto handle = std::make_unique<Handle>();
    handle->infile = GSF_INFILE(child);
    handle->fileSize = handle_->fileSize;
    return std::make_unique<Storage>(std::move(handle));
}

std::vector<std::string> Storage::StorageNames() const {
    std::vector<std::string> names;
    const int count = gsf_infile_num_children(handle_->infile);
    for (int i = 0; i < count; ++i) {
        const char* name = gsf_infile_name_by_index(handle_->infile, i);
        if (!name) continue;
        if (auto storage = OpenStorage(name)) names.emplace_back(name);
    }
    return names;
}

uint64_t Storage::fileSize() const { return handle_->fileSize; }

}  // namespace marbleye::fpx
