#pragma once

#include <initializer_list>
#include <string_view>

namespace marbleye::win32 {

// The settings file "Marbleye.ini" beside the program.
void LoadProgramSettings();
void SaveProgramSettings();

// Removes keys from the settings file itself, leaving the others as they are.
void DeleteSettingsKeys(std::string_view section, std::initializer_list<std::string_view> keys);

}  // namespace marbleye::win32
