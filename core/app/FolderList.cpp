#include "app/FolderList.h"

#include <algorithm>
#include <array>

#include "common/PathText.h"

namespace marbleye {

namespace {

constexpr std::array<std::string_view, 87> kAllExtensions = {
    "bmp",  "vkp", "jpg",  "jif",  "dib",  "tga",  "pcx",  "rle", "emf", "zbr", "ico",  "ppm", "psd",  "png",
    "jpeg", "jfif", "ras", "sun",  "gem",  "img",  "iff",  "lbm", "msp", "mac", "cut",  "pgm", "xbm",  "pbm",
    "tif",  "tiff", "gd2", "gd",   "pic",  "sgi",  "bw",   "rgb", "rgba", "hrz", "dds", "gif", "wmf",  "pix",
    "mng",  "jng", "avi",  "mov",  "wav",  "mid",  "mp1",  "mp2", "mp3", "mpg", "mpeg", "aif", "au",   "snd",
    "rmi",  "wma", "wmv",  "wm",   "asf",  "qt",   "cam",  "jpe", "wax", "aiff", "aifc", "midi", "m3u", "mpe",
    "m1v",  "mp2v", "mpv2", "mpa", "asx",  "ivf",  "wvx",  "lvp", "wbmp", "pcd", "psp", "eps", "fpx", "jbg",
    "djvu", "iw44", "iw4",
};

// The standard order up to "avi", then the image formats that follow the
// media ones there.
constexpr std::array<std::string_view, 57> kImageExtensions = {
    "bmp",  "vkp", "jpg",  "jif",  "dib",  "tga",  "pcx",  "rle", "emf", "zbr", "ico",  "ppm", "psd",  "png",
    "jpeg", "jfif", "ras", "sun",  "gem",  "img",  "iff",  "lbm", "msp", "mac", "cut",  "pgm", "xbm",  "pbm",
    "tif",  "tiff", "gd2", "gd",   "pic",  "sgi",  "bw",   "rgb", "rgba", "hrz", "dds", "gif", "wmf",  "pix",
    "mng",  "jng", "avi",  "cam",  "jpe",  "lvp",  "wbmp", "pcd", "psp", "eps", "fpx", "jbg", "djvu", "iw44",
    "iw4",
};

// strcmp with the bytes taken as signed chars, as the subfolder list sorts.
int CompareSignedBytes(const std::string& a, const std::string& b) {
    const char* p = a.c_str();
    const char* q = b.c_str();
    while (*p != '\0' && *p == *q) {
        ++p;
        ++q;
    }
    return static_cast<signed char>(*p) - static_cast<signed char>(*q);
}

}  // namespace

void AsciiUpperCase(std::string& name) {
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
}

std::span<const std::string_view> FolderListExtensions(bool imagesOnly) {
    if (imagesOnly) return kImageExtensions;
    return kAllExtensions;
}

size_t BuildFolderList(FolderList& list, const DirectoryScanner& scanner, std::string_view fileName,
                       const std::string& folder, bool imagesOnly, NameComparison compare) {
    list.position = 0;
    list.entries.clear();
    list.entries.reserve(kFolderListLimit);
    for (const std::string_view extension : FolderListExtensions(imagesOnly)) {
        if (list.entries.size() >= kFolderListLimit) break;
        scanner.Scan(folder, extension, [&list](const FoundFile& found) {
            if (found.name.starts_with('.') || found.directory) return true;
            FolderEntry entry;
            entry.name = found.name;
            entry.size = static_cast<uint32_t>(found.size);
            entry.lastWrite = found.lastWrite;
            list.entries.push_back(std::move(entry));
            return list.entries.size() < kFolderListLimit;
        });
    }
    const size_t count = list.entries.size();
    if (count < 2) return count;
    std::sort(list.entries.begin(), list.entries.end(), [compare](const FolderEntry& a, const FolderEntry& b) {
        return compare(a.name.c_str(), b.name.c_str()) < 0;
    });
    if (fileName.empty()) return count;

    // The middle down to 1 first, then the end down past the middle: entry 0
    // is never compared, only taken when nothing else matches.
    const std::string name(FileNameOf(fileName));
    const auto matches = [&](size_t i) { return compare(list.entries[i].name.c_str(), name.c_str()) == 0; };
    for (size_t i = count / 2; i >= 1; --i) {
        if (matches(i)) {
            list.position = i;
            return count;
        }
    }
    for (size_t i = count - 1; i > count / 2; --i) {
        if (matches(i)) {
            list.position = i;
            return count;
        }
    }
    return count;
}

void BuildSubfolderList(FolderList& list, const DirectoryScanner& scanner, const std::string& folder,
                        UpperCaseName upperCase) {
    list.position = 0;
    list.entries.clear();
    FolderEntry parent;
    parent.name = "..";
    list.entries.push_back(std::move(parent));
    scanner.Scan(folder, {}, [&](const FoundFile& found) {
        if (found.name.starts_with('.') || !found.directory || found.hidden) return true;
        FolderEntry entry;
        entry.name = found.name;
        upperCase(entry.name);
        entry.size = static_cast<uint32_t>(found.size);
        entry.lastWrite = found.lastWrite;
        list.entries.push_back(std::move(entry));
        return list.entries.size() < kSubfolderListLimit;
    });
    // An insertion sort: equal names keep the order of the scan.
    for (size_t i = 1; i < list.entries.size(); ++i) {
        FolderEntry entry = std::move(list.entries[i]);
        size_t j = i;
        for (; j > 0 && CompareSignedBytes(list.entries[j - 1].name, entry.name) > 0; --j) {
            list.entries[j] = std::move(list.entries[j - 1]);
        }
        list.entries[j] = std::move(entry);
    }
}

}  // namespace marbleye
