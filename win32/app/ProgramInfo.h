#pragma once

namespace marbleye::win32 {

inline constexpr const char* kProgramName = "Marbleye";
// The project's addresses. The reserved ".example" domain keeps them from
// reaching anyone until the project has addresses of its own.
inline constexpr const char* kHomepageAddress = "https://marbleye.example/";
inline constexpr const char* kSecondWebPageAddress = "https://marbleye.example/news/";
inline constexpr const char* kFeedbackAddress = "mailto:feedback@marbleye.example";

}  // namespace marbleye::win32
