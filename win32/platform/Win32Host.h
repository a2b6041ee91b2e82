#pragma once

#include <windows.h>

#include "common/Host.h"

namespace marbleye::win32 {

// The core's view of the program: a progress bar over the status bar,
// message pumping for quiet loads, message boxes and the error picture's text.
class Win32Host final : public Host {
public:
    void BeginProgress(int32_t steps) override;
    void StepProgress() override;
    void EndProgress() override;
    void PumpOneMessage() override;
    void ReportError(const std::string& message) override;
    int32_t DisplayDepth() const override;
    uint8_t ErrorPictureFillByte() const override;
    void DrawErrorText(ImageCanvas& canvas, const std::string& text) override;
    IconLoad LoadIconThroughSystem(const std::string& path, ImageCanvas& canvas) override;

private:
    HWND progress_ = nullptr;
};

}  // namespace marbleye::win32
