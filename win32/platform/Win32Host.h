#pragma once

#include <windows.h>

#include "common/Host.h"

namespace marbleye::win32 {

// The core's view of the program: a progress bar over the status bar,
// message pumping for quiet loads, message boxes, the error picture's text,
// and the system's icon loader, metafile player, video and media services.
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
    bool PlaysMetafiles() const override { return true; }
    std::unique_ptr<SystemMetafile> LoadMetafileThroughSystem(const MetafileBytes& metafile) override;
    VideoFrameLoad LoadFirstVideoFrame(const std::string& path, ImageCanvas& canvas) override;
    MediaOpening OpenMediaWindow(const std::string& path) override;

private:
    HWND progress_ = nullptr;
};

}  // namespace marbleye::win32
