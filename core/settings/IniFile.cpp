#include "settings/IniFile.h"

#include <fstream>
#include <sstream>

#include "common/PathText.h"
#include "io/OutputFile.h"

namespace marbleye {

namespace {

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    line = Trim(line);
    return !line.empty() && line.front() == ';';
}

std::string_view KeyOf(std::string_view line) { return Trim(line.substr(0, line.find('='))); }

std::string_view ValueOf(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    std::string_view value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

}  // namespace

std::optional<int32_t> ParseProfileInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    uint32_t base = 10;
    bool sawDigit = false;
    if (i + 1 < text.size() && text[i] == '0') {
        const char prefix = text[i + 1];
        if (prefix == 'x' || prefix == 'X') base = 16;
        if (prefix == 'o' || prefix == 'O') base = 8;
        if (prefix == 'b' || prefix == 'B') base = 2;
        if (base != 10) {
            i += 2;
            sawDigit = true;
        }
    }
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= static_cast<int>(base)) break;
        value = value * base + static_cast<uint32_t>(digit);
        sawDigit = true;
    }
    if (!sawDigit) return std::nullopt;
    return static_cast<int32_t>(negative ? 0u - value : value);
}

IniFile IniFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return IniFile();
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str());
}

IniFile IniFile::Parse(std::string_view text) {
    IniFile file;
    while (!text.empty()) {
        const size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        file.lines_.emplace_back(line);
        if (newline == std::string_view::npos) break;
        text.remove_prefix(newline + 1);
    }
    return file;
}

std::string IniFile::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool IniFile::Save(const std::string& path) const {
    OutputFile out;
    if (!out.Open(path)) return false;
    const std::string text = Text();
    out.Write(text.data(), text.size());
    return out.Commit();
}

std::optional<IniFile::SectionSpan> IniFile::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::optional<std::string_view> name = SectionName(lines_[i]);
        if (!name || !EqualsIgnoreCase(*name, section)) continue;
        size_t end = i + 1;
        while (end < lines_.size() && !SectionName(lines_[end])) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> IniFile::FindKeyLine(const SectionSpan& span, std::string_view key) const {
    for (size_t i = span.header + 1; i < span.end; ++i) {
        const std::string_view line = lines_[i];
        if (IsComment(line) || line.find('=') == std::string_view::npos) continue;
        if (EqualsIgnoreCase(KeyOf(line), key)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    const std::optional<SectionSpan> span = FindSection(section);
    if (!span) return std::nullopt;
    const std::optional<size_t> line = FindKeyLine(*span, key);
    if (!line) return std::nullopt;
    return std::string(ValueOf(lines_[*line]));
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view fallback,
                               size_t capacity) const {
    std::string value = Find(section, key).value_or(std::string(fallback));
    if (capacity > 0 && value.size() > capacity - 1) value.resize(capacity - 1);
    return value;
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key, int32_t fallback) const {
    const std::optional<std::string> value = Find(section, key);
    if (!value) return fallback;
    return ParseProfileInt(*value).value_or(fallback);
}

void IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
    std::optional<SectionSpan> span = FindSection(section);
    if (!span) {
        if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        span = SectionSpan{lines_.size() - 1, lines_.size()};
    }
    if (const std::optional<size_t> line = FindKeyLine(*span, key)) {
        lines_[*line] = std::string(KeyOf(lines_[*line])) + "=" + std::string(value);
        return;
    }
    // New keys go after the last non-blank line of their section.
    size_t insertAt = span->end;
    while (insertAt > span->header + 1 && Trim(lines_[insertAt - 1]).empty()) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  std::string(key) + "=" + std::string(value));
}

void IniFile::SetInt(std::string_view section, std::string_view key, int32_t value) {
    SetString(section, key, std::to_string(value));
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
    const std::optional<SectionSpan> span = FindSection(section);
    if (!span) return;
    if (const std::optional<size_t> line = FindKeyLine(*span, key)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
    }
}

}  // namespace marbleye
