#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marbleye {

// An INI file held in memory, read and written with the rules of the
// platform's private-profile functions: section and key names match without
// regard to case, the first of two equal keys wins, values are trimmed and
// lose one pair of enclosing quotes, and setting a key leaves every other
// line of the file as it was. A missing file reads as empty; Save creates it.
class IniFile {
public:
    IniFile() = default;
    static IniFile Load(const std::string& path);
    static IniFile Parse(std::string_view text);

    // Writes through a temporary file, so a failed write keeps the old file.
    bool Save(const std::string& path) const;
    std::string Text() const;

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The value cut to capacity - 1 characters, as a buffer of that size holds
    // it; fallback when the key is missing.
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback,
                          size_t capacity) const;
    // The value read as an integer; fallback when it is missing or holds no number.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t fallback) const;

    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, int32_t value);
    void DeleteKey(std::string_view section, std::string_view key);

private:
    struct SectionSpan {
        size_t header;  // index of the "[name]" line
        size_t end;     // one past its last line
    };
    std::optional<SectionSpan> FindSection(std::string_view section) const;
    std::optional<size_t> FindKeyLine(const SectionSpan& span, std::string_view key) const;

    std::vector<std::string> lines_;
};

// How the private-profile functions read an integer: leading blanks, a sign,
// an optional 0x, 0o or 0b prefix and the digits that follow; std::nullopt
// when there is no number at all.
std::optional<int32_t> ParseProfileInt(std::string_view text);

}  // namespace marbleye
