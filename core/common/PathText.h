#pragma once

#include <string>
#include <string_view>

namespace marbleye {

// Paths reach the core in the platform's own form, so both '/' and '\\'
// separate folders here.

// The text after the last '.' of the whole path; empty when there is none.
std::string_view ExtensionAfterLastDot(std::string_view path);

// The file name of a path: the text after its last separator.
std::string_view FileNameOf(std::string_view path);

// The extension of the file name, with its dot (".jpg"); empty when the file
// name has no dot. A dot in a folder name does not count.
std::string_view FileExtensionWithDot(std::string_view path);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Whether a list of words separated by single blanks holds word, without
// regard to case.
bool ListContainsIgnoreCase(std::string_view words, std::string_view word);

}  // namespace marbleye
