#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

void OpenHelpFile(HWND window, int32_t id);
void OpenWebPage(HWND window, int32_t id);

// The Help menu: documents beside the program and the project's web pages.
inline constexpr CommandRoute kHelpCommands[] = {
    {command::kReadme, &OpenHelpFile},   {command::kWhatsNew, &OpenHelpFile},
    {command::kKeyboardHelp, &OpenHelpFile}, {command::kLicense, &OpenHelpFile},
    {command::kHomepage, &OpenWebPage},  {command::kSecondHomepage, &OpenWebPage},
};

}  // namespace marbleye::win32
