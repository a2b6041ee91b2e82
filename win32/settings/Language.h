#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "commands/MenuLayout.h"
#include "settings/LanguageFile.h"
#include "win32/dialogs/Dialog.h"

namespace marbleye::win32 {

// The chosen language file as a path the system opens; empty while the
// built-in English is in use (the setting "LanguageFile" is empty).
std::string LanguageFilePath();

// The "INTL" folder beside the program, where language files lie.
std::string LanguageFolder();

// Replaces the texts of the dialog's translated controls with the values of
// their keys in the language file's section. A key the file lacks gives an
// empty text; without a language file nothing changes.
void ApplyDialogLanguage(HWND dialog, const char* section, std::span<const TranslatedControl> controls);

// Replaces the texts of a menu made from layout (the nodes of its items,
// without an enclosing popup) from the language file's section.
void ApplyMenuLanguage(HMENU menu, std::span<const MenuNode> layout, const char* section);

// The items of a context menu's one popup.
std::span<const MenuNode> PopupContents(std::span<const MenuNode> layout);

// The toolbar's 25 labels and a button's tooltip, in the chosen language.
std::vector<std::string> ToolbarLabelTexts();
std::string ToolTipText(int32_t command, bool browserMode);

}  // namespace marbleye::win32
