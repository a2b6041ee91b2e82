#include "win32/settings/ProgramSettings.h"

#include <windows.h>

#include "win32/platform/Paths.h"
#include "win32/app/Program.h"
#include "settings/IniFile.h"

namespace marbleye::win32 {

namespace {

ScreenMetrics Screen() {
    ScreenMetrics screen;
    screen.width = GetSystemMetrics(SM_CXSCREEN);
    screen.height = GetSystemMetrics(SM_CYSCREEN);
    screen.fullScreenClientHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    return screen;
}

}  // namespace

void LoadProgramSettings() {
    Program& app = App();
    app.settingsPath = ToCorePath(ProgramFolder() + "\\" + std::string(kSettingsFileName));
    app.settings = LoadSettings(IniFile::Load(app.settingsPath), Screen());
}

// Writing a key keeps the rest of the file, so the file is read first.
void SaveProgramSettings() {
    Program& app = App();
    IniFile file = IniFile::Load(app.settingsPath);
    SaveSettings(app.settings, file);
    file.Save(app.settingsPath);
}

void DeleteSettingsKeys(std::string_view section, std::initializer_list<std::string_view> keys) {
    const std::string& path = App().settingsPath;
    IniFile file = IniFile::Load(path);
    for (const std::string_view key : keys) file.DeleteKey(section, key);
    file.Save(path);
}

}  // namespace marbleye::win32
