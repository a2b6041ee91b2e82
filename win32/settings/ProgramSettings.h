#pragma once

namespace marbleye::win32 {

// The settings file "Marbleye.ini" beside the program.
void LoadProgramSettings();
void SaveProgramSettings();

}  // namespace marbleye::win32
