#include "win32/output/Wallpaper.h"

#include <string>

#include "formats/bmp/Bmp.h"
#include "win32/app/Program.h"
#include "win32/platform/Messages.h"
#include "win32/platform/Paths.h"

namespace marbleye::win32 {

namespace {

std::string WallpaperPath() { return WindowsFolderFile("Marbleye Wallpaper.bmp"); }

// "0" centred, "2" stretched, "1" tiled, as the desktop reads it.
const char* StyleDigit(int32_t id) {
    switch (id) {
        case command::kWallpaperStretched: return "2";
        case command::kWallpaperTiled: return "1";
        default: return "0";
    }
}

void WriteStyle(const char* digit) {
    HKEY desktop = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_SET_VALUE, &desktop) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(desktop, "WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(digit), 2);
    RegCloseKey(desktop);
}

}  // namespace

void SetWallpaper(HWND, int32_t id) {
    Program& app = App();
    WriteStyle(StyleDigit(id));
    std::string path = WallpaperPath();
    const Status written = WriteBmp(ToCorePath(path), app.canvas, app.image.fileBitDepth, app.host);
    if (!written.ok()) {
        ReportError("%s", written.message().c_str());
        return;
    }
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE);
}

void RemoveWallpaper(HWND, int32_t) {
    DeleteFileA(WallpaperPath().c_str());
    char none[] = "";
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, none, SPIF_UPDATEINIFILE);
}

}  // namespace marbleye::win32
