#pragma once

#include "io/DirectoryScanner.h"

namespace marbleye::win32 {

// Lists a folder with the system's file search, so patterns match as they
// do everywhere else on the system (short names included).
class Win32DirectoryScanner final : public DirectoryScanner {
public:
    void Scan(const std::string& folder, std::string_view extension,
              const std::function<bool(const FoundFile&)>& visit) const override;
};

// The system's locale-aware name order, as folder lists sort by it.
int CompareNamesLikeTheSystem(const char* a, const char* b);

}  // namespace marbleye::win32
