#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "win32/dialogs/Dialog.h"

namespace marbleye::win32 {

// The chosen language file as a path the system opens; empty while the
// built-in English is in use (the setting "LanguageFile" is empty).
std::string LanguageFilePath();

// Replaces the texts of the dialog's translated controls with the values of
// their keys in the language file's section. A key the file lacks gives an
// empty text; without a language file nothing changes.
void ApplyDialogLanguage(HWND dialog, const char* section, std::span<const TranslatedControl> controls);

}  // namespace marbleye::win32
