#include "win32/app/HelpCommands.h"

#include <shellapi.h>

#include <string>

#include "win32/app/ProgramInfo.h"
#include "win32/platform/Paths.h"

namespace marbleye::win32 {

namespace {

const char* HelpFileName(int32_t id) {
    switch (id) {
        case command::kWhatsNew: return "Whatsnew.txt";
        case command::kKeyboardHelp: return "Keyboard.txt";
        case command::kLicense: return "License.txt";
        default: return "Readme.htm";
    }
}

// The main window leaves the topmost band for good, so what opens can come
// in front of it.
void OpenWithTheShell(HWND window, const std::string& target) {
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShellExecuteA(window, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void OpenHelpFile(HWND window, int32_t id) { OpenWithTheShell(window, ProgramFolder() + "\\" + HelpFileName(id)); }

void OpenWebPage(HWND window, int32_t id) {
    OpenWithTheShell(window, id == command::kSecondHomepage ? kSecondWebPageAddress : kHomepageAddress);
}

}  // namespace marbleye::win32
