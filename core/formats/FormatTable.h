#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "formats/LoadContext.h"

namespace marbleye {

namespace format_id {
inline constexpr int32_t kUnknown = -1;
inline constexpr int32_t kBmp = 0;
inline constexpr int32_t kMedia = 38;
}  // namespace format_id

// One row of the dispatcher's table: the extensions (lower case, separated by
// blanks), the format code, a short name for messages and the reader.
struct FormatEntry {
    std::string_view extensions;
    int32_t formatId;
    std::string_view name;
    ReaderFunction reader;  // nullptr while the format has no reader in this build
};

// Every row in lookup order; the first row that lists the extension wins.
std::span<const FormatEntry> FormatTable();

// The row for a path, chosen by the text after its last '.', without regard
// to case; nullptr for an unlisted extension.
const FormatEntry* FindFormat(std::string_view path);
int32_t FindFormatId(std::string_view path);

}  // namespace marbleye
