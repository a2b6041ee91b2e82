#include "win32/app/PendingCommands.h"

#include "win32/platform/Messages.h"

namespace marbleye::win32 {

void SayNotAvailableYet(HWND, int32_t id) {
    const CommandInfo* info = FindCommand(id);
    const std::string name = info ? PlainMenuText(info->menuText) : std::string();
    if (name.empty()) ReportError("This command is not available yet.");
    else ReportError("\"%s\" is not available yet.", name.c_str());
}

}  // namespace marbleye::win32
