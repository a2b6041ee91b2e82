#pragma once

#include <optional>
#include <string>

#include "support/TestPictures.h"

namespace marbleye::test {

// ImageMagick is called by its full path: an earlier "convert" on PATH may be
// something else.
inline constexpr const char* kImageMagickConvert = "/usr/bin/convert";

bool HaveTool(const std::string& path);

// Runs a shell command; its standard output, or nothing when it fails.
std::optional<std::string> RunCommand(const std::string& command);

std::string Quoted(const std::string& text);

// The picture as ImageMagick decodes it (alpha dropped).
std::optional<RgbImage> DecodeWithImageMagick(const std::string& path);

// Skips the current test when a tool is not installed.
#define MARBLEYE_REQUIRE_TOOL(path)                                            \
    do {                                                                       \
        if (!::marbleye::test::HaveTool(path)) GTEST_SKIP() << (path) << " is not installed"; \
    } while (0)

}  // namespace marbleye::test
