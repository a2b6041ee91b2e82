#include "win32/settings/SettingsCommands.h"

#include "win32/dialogs/LanguageDialog.h"

namespace marbleye::win32 {

void ChooseLanguage(HWND window, int32_t) { ShowLanguageDialog(window); }

}  // namespace marbleye::win32
