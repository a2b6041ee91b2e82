#pragma once

#include <windows.h>

namespace marbleye::win32 {

// "LANGUAGEDLG": the built-in English and every language file of "INTL";
// "&Set" or a double click applies the chosen one at once.
void ShowLanguageDialog(HWND owner);

}  // namespace marbleye::win32
