// Starts Marbleye with a command line passed through the environment
// variable MARBLEYE_COMMAND_LINE exactly as written. Wine re-quotes the
// arguments a shell hands over, which would garble switches such as
// -c="target"; this way the program sees what a Windows shell would pass.
// Waits for the program and returns its exit code.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = self;
    folder.resize(folder.find_last_of('\\') + 1);

    char arguments[32768] = {};
    GetEnvironmentVariableA("MARBLEYE_COMMAND_LINE", arguments, sizeof arguments);
    std::string commandLine = "\"" + folder + "Marbleye.exe.so\" " + arguments;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        MessageBoxA(nullptr, "Marbleye could not be started.", "Marbleye", MB_OK | MB_ICONERROR);
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}
