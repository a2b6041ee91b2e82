#include "app/Messages.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "app/Program.h"

namespace marbleye::win32 {

namespace {

constexpr const char* kCaption = "Marbleye";

}  // namespace

int ReportError(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return MessageBoxA(App().window, text, kCaption, MB_OK | MB_ICONINFORMATION);
}

void ReportFatalError(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    MessageBoxA(App().window, text, kCaption, MB_OK | MB_ICONERROR);
    if (App().window) DestroyWindow(App().window);
}

}  // namespace marbleye::win32
