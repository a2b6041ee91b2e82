#include <gtest/gtest.h>

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/FolderList.h"
#include "app/NameOrder.h"
#include "io/DirectoryScanner.h"
#include "support/TempFolder.h"

namespace marbleye {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

void Touch(const TempFolder& folder, const std::string& name, size_t bytes = 0) {
    std::ofstream(folder.File(name), std::ios::binary) << std::string(bytes, 'x');
}

std::string Numbered(const char* format, int number) {
    char name[32];
    std::snprintf(name, sizeof name, format, number);
    return name;
}

std::vector<std::string> NamesOf(const FolderList& list) {
    std::vector<std::string> names;
    for (const FolderEntry& entry : list.entries) names.push_back(entry.name);
    return names;
}

// Reports its rows to the searches for their extension and to "*.*".
class ListedScanner : public DirectoryScanner {
public:
    std::vector<std::pair<std::string, FoundFile>> rows;

    void Scan(const std::string&, std::string_view extension,
              const std::function<bool(const FoundFile&)>& visit) const override {
        for (const auto& [pattern, found] : rows) {
            if ((extension.empty() || extension == pattern) && !visit(found)) return;
        }
    }
};

FoundFile Folder(const std::string& name, bool hidden = false) { return {name, 0, 0, true, hidden}; }

TEST(FolderListExtensions, TheImagesOnlyListLeavesOutTheMediaFormats) {
    const auto all = FolderListExtensions(false);
    const auto images = FolderListExtensions(true);
    ASSERT_EQ(all.size(), 87u);
    ASSERT_EQ(images.size(), 57u);
    EXPECT_TRUE(std::equal(images.begin(), images.begin() + 45, all.begin()));
    EXPECT_EQ(images[44], "avi");
    EXPECT_EQ(images[45], "cam");
    EXPECT_EQ(images.back(), "iw4");
}

TEST(FolderList, SortsByNameWhatTheSearchFindsExtensionByExtension) {
    TempFolder folder;
    for (const char* name : {"B.jpg", "a.png", "d.gif", "m.mov", "e.xyz", ".hidden.bmp", "noext"}) Touch(folder, name);
    Touch(folder, "c.bmp", 5);
    fs::create_directory(folder.File("f.bmp"));
    FolderList list;
    EXPECT_EQ(BuildFolderList(list, FileSystemScanner(), "", folder.path(), false, CompareFileNames), 5u);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"a.png", "B.jpg", "c.bmp", "d.gif", "m.mov"}));
    EXPECT_EQ(list.entries[2].size, 5u);
    EXPECT_EQ(list.position, 0u);
    BuildFolderList(list, FileSystemScanner(), "", folder.path(), true, CompareFileNames);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"a.png", "B.jpg", "c.bmp", "d.gif"}));
}

// The .bmp search fills the list before the .jpg one ends, although the .jpg
// names sort first; the .png search never runs.
TEST(FolderList, TheLimitFallsInSearchOrderBeforeSorting) {
    TempFolder folder;
    for (int i = 0; i < 9990; ++i) Touch(folder, Numbered("b%04d.bmp", i));
    for (int i = 0; i < 20; ++i) Touch(folder, Numbered("a%02d.jpg", i));
    Touch(folder, "0.png");
    FolderList list;
    ASSERT_EQ(BuildFolderList(list, FileSystemScanner(), "", folder.path(), false, CompareFileNames), 10000u);
    EXPECT_EQ(list.entries[9].name.substr(0, 1), "a");
    EXPECT_EQ(list.entries[10].name, "b0000.bmp");
    EXPECT_EQ(list.entries.back().name, "b9989.bmp");
}

TEST(FolderList, AFileFoundForTwoExtensionsIsListedTwice) {
    ListedScanner scanner;
    const FoundFile photo{"photo.jpeg", 0x100000005ull, 123, false, false};
    scanner.rows = {{"jpeg", photo}, {"jpe", photo}};
    FolderList list;
    ASSERT_EQ(BuildFolderList(list, scanner, "", "x", false, CompareFileNames), 2u);
    for (const FolderEntry& entry : list.entries) {
        EXPECT_EQ(entry.name, "photo.jpeg");
        EXPECT_EQ(entry.size, 5u) << "the low 32 bits";
        EXPECT_EQ(entry.lastWrite, 123u);
    }
}

TEST(FolderList, ThePositionIsTheEntryNamedLikeTheFile) {
    TempFolder folder;
    const std::vector<std::string> names = {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"};
    for (const std::string& name : names) Touch(folder, name);
    FolderList list;
    for (size_t i = 0; i < names.size(); ++i) {
        for (const std::string& path : {names[i], "C:\\pics\\" + names[i], "/pics/" + names[i]}) {
            BuildFolderList(list, FileSystemScanner(), path, folder.path(), false, CompareFileNames);
            EXPECT_EQ(list.position, i) << path;
        }
    }
    BuildFolderList(list, FileSystemScanner(), "missing.bmp", folder.path(), false, CompareFileNames);
    EXPECT_EQ(list.position, 0u);
}

// Compares without regard to case and records, for every comparison with the
// upper-case name searched for, the entry it was compared with.
std::vector<std::string> compared;

int RecordingCompare(const char* a, const char* b) {
    if (std::isupper(static_cast<unsigned char>(*a))) compared.push_back(b);
    if (std::isupper(static_cast<unsigned char>(*b))) compared.push_back(a);
    return strcasecmp(a, b);
}

TEST(FolderList, TheSearchRunsFromTheMiddleDownToOneThenFromTheEnd) {
    ListedScanner scanner;
    for (const char* name : {"f0.bmp", "f1.bmp", "f2.bmp", "f3.bmp", "f4.bmp", "f5.bmp"})
        scanner.rows.push_back({"bmp", {name, 0, 0, false, false}});
    const std::vector<std::string> order = {"f3.bmp", "f2.bmp", "f1.bmp", "f5.bmp", "f4.bmp"};
    struct Case {
        const char* target;
        size_t position;
        std::vector<std::string> compared;
    };
    const Case cases[] = {
        {"MISSING.BMP", 0, order}, {"F0.BMP", 0, order}, {"F5.BMP", 5, {order.begin(), order.begin() + 4}}};
    FolderList list;
    for (const Case& c : cases) {
        compared.clear();
        BuildFolderList(list, scanner, c.target, "x", false, RecordingCompare);
        EXPECT_EQ(list.position, c.position) << c.target;
        EXPECT_EQ(compared, c.compared) << c.target;
    }
}

TEST(FolderSubfolders, UpperCaseFoldersWithParentFirstAtMostNinetyNine) {
    TempFolder folder;
    for (int i = 0; i < 120; ++i) fs::create_directory(folder.File(Numbered("d%03d", i)));
    fs::create_directory(folder.File(".git"));
    Touch(folder, "x.bmp");
    FolderList list;
    BuildSubfolderList(list, FileSystemScanner(), folder.path());
    ASSERT_EQ(list.entries.size(), 100u);
    EXPECT_EQ(list.entries[0].name, "..");
    for (size_t i = 1; i < list.entries.size(); ++i) {
        EXPECT_TRUE(list.entries[i].name.size() == 4 && list.entries[i].name[0] == 'D') << list.entries[i].name;
        EXPECT_LT(list.entries[i - 1].name, list.entries[i].name);
    }
}

void Latin1UpperCase(std::string& name) {
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool lower = (byte >= 'a' && byte <= 'z') || (byte >= 0xe0 && byte != 0xf7 && byte != 0xff);
        if (lower) c = static_cast<char>(byte - 0x20);
    }
}

// As signed chars: 0xC9 is negative, '!' and '-' are below '.'.
TEST(FolderSubfolders, SortsBytesAsSignedCharsParentIncluded) {
    ListedScanner scanner;
    scanner.rows = {{"", Folder("b")},      {"", Folder("-x")},     {"", Folder("!a")},
                    {"", Folder("\xe9t\xe9")}, {"", Folder("secret", true)}, {"", Folder(".config")},
                    {"", {"file.txt", 1, 0, false, false}}};
    FolderList list;
    BuildSubfolderList(list, scanner, "x", Latin1UpperCase);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"\xc9T\xc9", "!A", "-X", "..", "B"}));
}

TEST(FolderScanner, MatchesTheTextAfterTheLastDotWithoutCase) {
    TempFolder folder;
    for (const char* name : {"A.BMP", "b.tar.bmp", "bmp", "c.bmpx", "x.jpeg"}) Touch(folder, name);
    fs::create_directory(folder.File("d.bmp"));
    const auto scan = [&](const std::string& path, std::string_view extension) {
        std::vector<std::string> names;
        FileSystemScanner().Scan(path, extension, [&](const FoundFile& found) {
            names.push_back(found.name + (found.directory ? "/" : ""));
            return true;
        });
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(scan(folder.path(), "bmp"), (std::vector<std::string>{"A.BMP", "b.tar.bmp", "d.bmp/"}));
    EXPECT_TRUE(scan(folder.path(), "jpe").empty());
    EXPECT_EQ(scan(folder.path(), "").size(), 6u);
    EXPECT_TRUE(scan(folder.File("missing"), "").empty());
    int visits = 0;
    FileSystemScanner().Scan(folder.path(), "", [&](const FoundFile&) { return ++visits, false; });
    EXPECT_EQ(visits, 1) << "false stops the scan";
}

TEST(FolderScanner, ReportsSizeFileTimeAndDotNamesHidden) {
    using namespace std::chrono;
    TempFolder folder;
    Touch(folder, "plain.bmp", 7);
    Touch(folder, ".dot.bmp");
    const sys_time<milliseconds> time = sys_days{2001y / January / 1} + 500ms;
    fs::last_write_time(folder.File("plain.bmp"), file_clock::from_sys(time));
    std::vector<FoundFile> found;
    FileSystemScanner().Scan(folder.path(), "bmp", [&](const FoundFile& f) { return found.push_back(f), true; });
    ASSERT_EQ(found.size(), 2u);
    std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
    EXPECT_TRUE(found[0].hidden);
    EXPECT_FALSE(found[1].hidden);
    EXPECT_EQ(found[1].size, 7u);
    const auto ticks = duration_cast<duration<int64_t, std::ratio<1, 10000000>>>(time - sys_days{1601y / January / 1});
    EXPECT_EQ(found[1].lastWrite, static_cast<uint64_t>(ticks.count()));
}

}  // namespace
}  // namespace marbleye
