#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace marbleye::win32 {

struct FolderEntry {
    std::string name;
    uint32_t size = 0;
    FILETIME lastWrite{};
    int32_t width = 0, height = 0;
    uint8_t bitsPerPixel = 0;
};

// The image files of one folder, sorted by name, with a current position.
struct FolderList {
    std::vector<FolderEntry> entries;
    size_t position = 0;
    bool fullPaths = false;

    bool empty() const { return entries.empty(); }
    const FolderEntry* Current() const { return entries.empty() ? nullptr : &entries[position]; }
};

// Replaces the list with the image files of folder; the position becomes the
// entry named like fileName (0 when none is).
size_t BuildFolderList(FolderList& list, const std::string& fileName, const std::string& folder, bool imagesOnly);

}  // namespace marbleye::win32
