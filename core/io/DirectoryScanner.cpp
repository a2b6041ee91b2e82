#include "io/DirectoryScanner.h"

#include <chrono>
#include <filesystem>
#include <ratio>
#include <system_error>

#include "common/PathText.h"

namespace marbleye {

namespace {

namespace fs = std::filesystem;

using FileTimeTicks = std::chrono::duration<int64_t, std::ratio<1, 10000000>>;

// The FILETIME tick count of 1970-01-01 00:00:00 UTC.
constexpr int64_t kUnixEpochTicks = 116444736000000000;

uint64_t ToFileTimeTicks(fs::file_time_type time) {
    const auto sinceUnixEpoch = std::chrono::file_clock::to_sys(time).time_since_epoch();
    const int64_t ticks = std::chrono::floor<FileTimeTicks>(sinceUnixEpoch).count();
    return ticks < -kUnixEpochTicks ? 0 : static_cast<uint64_t>(ticks + kUnixEpochTicks);
}

bool Matches(std::string_view name, std::string_view extension) {
    if (extension.empty()) return true;
    const size_t dot = name.rfind('.');
    return dot != std::string_view::npos && EqualsIgnoreCase(name.substr(dot + 1), extension);
}

}  // namespace

void FileSystemScanner::Scan(const std::string& folder, std::string_view extension,
                             const std::function<bool(const FoundFile&)>& visit) const {
    std::error_code error;
    fs::directory_iterator it(fs::path(folder), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::directory_entry& entry = *it;
        FoundFile found;
        found.name = entry.path().filename().string();
        if (!Matches(found.name, extension)) continue;
        std::error_code ignored;
        found.directory = entry.is_directory(ignored);
        found.hidden = !found.name.empty() && found.name[0] == '.';
        if (!found.directory) {
            const uintmax_t size = entry.file_size(ignored);
            found.size = ignored ? 0 : static_cast<uint64_t>(size);
        }
        const fs::file_time_type time = entry.last_write_time(ignored);
        found.lastWrite = ignored ? 0 : ToFileTimeTicks(time);
        if (!visit(found)) return;
    }
}

}  // namespace marbleye
