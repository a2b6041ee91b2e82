#include "win32/settings/Language.h"

#include "win32/app/Program.h"
#include "win32/platform/Paths.h"

namespace marbleye::win32 {

std::string LanguageFilePath() {
    const std::string& relative = App().settings.languageFile;
    if (relative.empty()) return std::string();
    return ProgramFolder() + relative;
}

void ApplyDialogLanguage(HWND dialog, const char* section, std::span<const TranslatedControl> controls) {
    const std::string file = LanguageFilePath();
    if (file.empty()) return;
    for (const TranslatedControl& control : controls) {
        char text[512] = {};
        GetPrivateProfileStringA(section, control.key, "", text, sizeof text, file.c_str());
        if (control.controlId == kDialogCaption) SetWindowTextA(dialog, text);
        else SetDlgItemTextA(dialog, control.controlId, text);
    }
}

}  // namespace marbleye::win32
