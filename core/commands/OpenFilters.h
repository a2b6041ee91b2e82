#pragma once

#include <span>
#include <string>
#include <string_view>

namespace marbleye {

// One entry of the Open dialog's file-type list: what it says and the
// patterns it shows.
struct FileFilter {
    std::string_view description;
    std::string_view patterns;  // separated by ';'
};

// The 46 entries of the Open dialog, in their order.
std::span<const FileFilter> OpenDialogFilters();

// The filter list as the system's file dialogs take it: description and
// patterns each ended by a NUL, the whole ended by a second NUL.
std::string FilterListForDialog(std::span<const FileFilter> filters);

}  // namespace marbleye
