#pragma once

#include <span>
#include <string_view>

namespace marbleye::cli {

// Exit codes of the tool.
inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;  // the picture could not be read or written
inline constexpr int kUsage = 2;    // the command line is wrong

int RunInfo(std::span<const std::string_view> arguments);
int RunConvert(std::span<const std::string_view> arguments);
void PrintHelp();

}  // namespace marbleye::cli
