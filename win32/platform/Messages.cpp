#include "win32/platform/Messages.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "win32/app/Program.h"

namespace marbleye::win32 {

namespace {

constexpr const char* kCaption = "Marbleye";

int ShowMessage(UINT icon, const char* format, va_list arguments) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, arguments);
    return MessageBoxA(App().window, text, kCaption, MB_OK | icon);
}

}  // namespace

int ReportError(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = ShowMessage(MB_ICONINFORMATION, format, arguments);
    va_end(arguments);
    return result;
}

void ReportFatalError(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    ShowMessage(MB_ICONERROR, format, arguments);
    va_end(arguments);
    if (App().window) DestroyWindow(App().window);
}

}  // namespace marbleye::win32
