#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace marbleye {

// One entry of a folder as the platform's file search reports it.
struct FoundFile {
    std::string name;
    uint64_t size = 0;
    uint64_t lastWrite = 0;  // 100-ns ticks since 1601-01-01 UTC, the scale of a Windows FILETIME
    bool directory = false;
    bool hidden = false;
};

// Lists the entries of a folder; the front end implements it with its own file
// search, so the core decides what to do with the entries without knowing how
// they were found.
class DirectoryScanner {
public:
    virtual ~DirectoryScanner() = default;

    // Calls visit for every entry of folder whose name matches "*." +
    // extension; an empty extension means every entry (the "*.*" search).
    // The scan stops when visit returns false.
    virtual void Scan(const std::string& folder, std::string_view extension,
                      const std::function<bool(const FoundFile&)>& visit) const = 0;
};

// The scanner of the command-line tool and the tests, on std::filesystem.
// - A name matches a non-empty extension when the text after its last '.'
//   equals the extension without regard to ASCII case; a name without a dot
//   never does. There is no matching through short names.
// - Only the entries the filesystem lists are reported; "." and ".." are not.
// - POSIX has no hidden attribute: names beginning with '.' are hidden by
//   convention and are reported hidden.
// - size is 0 for directories and for entries whose size cannot be read;
//   lastWrite is 0 when the time cannot be read or lies before 1601.
// - A missing or unreadable folder gives no entries; a read error part way
//   ends the scan.
class FileSystemScanner final : public DirectoryScanner {
public:
    void Scan(const std::string& folder, std::string_view extension,
              const std::function<bool(const FoundFile&)>& visit) const override;
};

}  // namespace marbleye
