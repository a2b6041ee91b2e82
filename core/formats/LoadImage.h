#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/LoadContext.h"

namespace marbleye {

inline constexpr std::string_view kUnknownFormatMessage = "Unable to determine Fileformat.";

struct LoadResult {
    Status status;
    std::string errorText;  // "name: message" as drawn into the error picture; empty on success
    uint32_t loadTimeMs = 0;
};

// Reads a picture into the canvas with the reader its extension names, and
// times it. On failure the canvas holds the error picture (ReportFileError)
// and nothing of the file. The front end does its after-load steps itself.
LoadResult LoadImageFile(const std::string& path, LoadContext& context);

// Replaces the canvas with the 500 x 200 error picture of a failed load and
// returns its text, "name: message" (the file name of path), at most 1023
// characters.
std::string ReportFileError(LoadContext& context, std::string_view path, std::string_view message);

}  // namespace marbleye
