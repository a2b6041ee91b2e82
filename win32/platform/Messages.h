#pragma once

namespace marbleye::win32 {

// An information box with the caption "Marbleye"; returns its result.
int ReportError(const char* format, ...);
// An error box with the caption "Marbleye", after which the main window is destroyed.
void ReportFatalError(const char* format, ...);

}  // namespace marbleye::win32
