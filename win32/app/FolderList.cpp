#include "app/FolderList.h"

#include <algorithm>
#include <array>

#include "app/Paths.h"

namespace marbleye::win32 {

namespace {

constexpr size_t kMaxEntries = 10000;

constexpr std::array<const char*, 87> kAllPatterns = {
    "bmp",  "vkp", "jpg",  "jif",  "dib",  "tga",  "pcx",  "rle", "emf", "zbr", "ico",  "ppm", "psd",  "png",
    "jpeg", "jfif", "ras", "sun",  "gem",  "img",  "iff",  "lbm", "msp", "mac", "cut",  "pgm", "xbm",  "pbm",
    "tif",  "tiff", "gd2", "gd",   "pic",  "sgi",  "bw",   "rgb", "rgba", "hrz", "dds", "gif", "wmf",  "pix",
    "mng",  "jng", "avi",  "mov",  "wav",  "mid",  "mp1",  "mp2", "mp3", "mpg", "mpeg", "aif", "au",   "snd",
    "rmi",  "wma", "wmv",  "wm",   "asf",  "qt",   "cam",  "jpe", "wax", "aiff", "aifc", "midi", "m3u", "mpe",
    "m1v",  "mp2v", "mpv2", "mpa", "asx",  "ivf",  "wvx",  "lvp", "wbmp", "pcd", "psp", "eps", "fpx", "jbg",
    "djvu", "iw44", "iw4",
};

// The images-only list: the standard order up to "avi", then the image
// formats that follow the media ones.
constexpr std::array<const char*, 12> kImagesOnlyTail = {"cam", "jpe", "lvp", "wbmp", "pcd", "psp",
                                                          "eps", "fpx", "jbg", "djvu", "iw44", "iw4"};

std::vector<const char*> PatternsFor(bool imagesOnly) {
    std::vector<const char*> patterns;
    for (const char* pattern : kAllPatterns) {
        patterns.push_back(pattern);
        if (imagesOnly && std::string(pattern) == "avi") break;
    }
    if (imagesOnly) patterns.insert(patterns.end(), kImagesOnlyTail.begin(), kImagesOnlyTail.end());
    return patterns;
}

void AddMatches(FolderList& list, const std::string& folder, const char* extension) {
    WIN32_FIND_DATAA found;
    const std::string pattern = folder + "\\*." + extension;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.cFileName[0] == '.' || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        FolderEntry entry;
        entry.name = found.cFileName;
        entry.size = found.nFileSizeLow;
        entry.lastWrite = found.ftLastWriteTime;
        list.entries.push_back(entry);
    } while (list.entries.size() < kMaxEntries && FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

size_t BuildFolderList(FolderList& list, const std::string& fileName, const std::string& folder, bool imagesOnly) {
    list.entries.clear();
    list.position = 0;
    for (const char* extension : PatternsFor(imagesOnly)) {
        if (list.entries.size() >= kMaxEntries) break;
        AddMatches(list, folder, extension);
    }
    const size_t count = list.entries.size();
    if (count < 2) return count;
    std::sort(list.entries.begin(), list.entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return lstrcmpA(a.name.c_str(), b.name.c_str()) < 0;
    });
    if (fileName.empty()) return count;
    // The middle down to 1 first, then the end down past the middle: entry 0
    // is only ever the default.
    const std::string name = FileNameOf(fileName);
    const auto matches = [&](size_t i) { return lstrcmpA(list.entries[i].name.c_str(), name.c_str()) == 0; };
    for (size_t i = count / 2; i >= 1; --i) {
        if (matches(i)) {
            list.position = i;
            return count;
        }
    }
    for (size_t i = count - 1; i > count / 2; --i) {
        if (matches(i)) {
            list.position = i;
            break;
        }
    }
    return count;
}

}  // namespace marbleye::win32
