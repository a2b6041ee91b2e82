#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/DirectoryScanner.h"

namespace marbleye {

struct FolderEntry {
    std::string name;
    uint32_t size = 0;       // the low 32 bits of the file size
    uint64_t lastWrite = 0;  // FILETIME ticks, as FoundFile::lastWrite
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

// Compares two names like strcmp (negative, zero or positive). The program
// passes the Windows locale comparison; CompareFileNames (app/NameOrder.h) is
// its portable equivalent.
using NameComparison = int (*)(const char*, const char*);

// Upper-cases a folder name in place. The program passes the Windows
// locale's upper-casing; AsciiUpperCase is the portable one.
using UpperCaseName = void (*)(std::string& name);

void AsciiUpperCase(std::string& name);

// The most entries BuildFolderList lists, and BuildSubfolderList (".."
// included).
constexpr size_t kFolderListLimit = 10000;
constexpr size_t kSubfolderListLimit = 100;

// The extensions BuildFolderList searches, in search order: 87 for the
// viewer, 57 (the media formats left out) for the catalog creator.
std::span<const std::string_view> FolderListExtensions(bool imagesOnly);

// Replaces the list with the files of folder that have one of the
// extensions, searched extension by extension; names beginning with '.' and
// directories are left out. Searching stops when the list holds
// kFolderListLimit entries, so the limit falls in search order. A file found
// for two extensions is listed twice. The list is then sorted with compare,
// and the position becomes the entry whose name compares equal to the file
// name part of fileName (0 when there is none, and for the first entry).
// Returns the number of entries. fullPaths is left as it is.
size_t BuildFolderList(FolderList& list, const DirectoryScanner& scanner, std::string_view fileName,
                       const std::string& folder, bool imagesOnly, NameComparison compare);

// Replaces the list with ".." and the subfolders of folder that are neither
// hidden nor begin with '.', their names upper-cased with upperCase, at most
// kSubfolderListLimit entries in all. All entries, ".." included, are sorted
// by their bytes taken as signed chars: names beginning with a character
// below '.' come before "..", and bytes above 127 first of all. The position
// becomes 0.
void BuildSubfolderList(FolderList& list, const DirectoryScanner& scanner, const std::string& folder,
                        UpperCaseName upperCase = AsciiUpperCase);

}  // namespace marbleye
