#include <windows.h>

#include <cstring>
#include <string>

#include "win32/app/HandOver.h"
#include "win32/app/MainWindow.h"
#include "win32/app/Program.h"
#include "win32/platform/Messages.h"
#include "win32/resources/resource.h"
#include "win32/settings/ProgramSettings.h"

namespace {

using namespace marbleye::win32;

// Gives the command line to the running instance; false when none was found.
bool HandOver(const char* commandLine) {
    HWND running = FindWindowA(kMainWindowClass, nullptr);
    if (!running) return false;
    char buffer[kHandOverSize] = {};
    std::strncpy(buffer, commandLine, kHandOverSize - 1);
    COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(kHandOverSize), buffer};
    SendMessageA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    Program& app = App();
    app.instance = instance;
    LoadProgramSettings();

    if (app.settings.useOnlyOneInstance) {
        CreateMutexA(nullptr, FALSE, kInstanceMutex);
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            if (!HandOver(commandLine)) ReportError("Unable find Marbleye-Instance!\nPlease restart Marbleye.");
            return -1;
        }
    }
    if (!CreateMainWindow(instance, commandLine)) return -1;

    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_ACCELERATORS));
    if (!accelerators) ReportError("Unable to load Accelerators! Hotkeys won't work!");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorA(app.window, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
