#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "formats/FormatId.h"
#include "formats/LoadContext.h"

namespace marbleye {

// One row of the dispatcher's table: the extensions (lower case, separated by
// blanks), the format code, a short name for messages, the reader, and
// whether Save may write a picture of this format back over its file.
struct FormatEntry {
    std::string_view extensions;
    int32_t formatId;
    std::string_view name;
    ReaderFunction reader;  // nullptr while the format has no reader in this build
    bool canBeSavedOver = false;
};

// Every row in lookup order; the first row that lists the extension wins.
std::span<const FormatEntry> FormatTable();

// The row for a path, chosen by the text after its last '.', without regard
// to case; nullptr for an unlisted extension.
const FormatEntry* FindFormat(std::string_view path);
int32_t FindFormatId(std::string_view path);

// Whether Save may write a picture loaded as this format over its file (a
// GIF only while it does not animate, which the caller knows).
bool CanBeSavedOver(int32_t formatId);

}  // namespace marbleye
