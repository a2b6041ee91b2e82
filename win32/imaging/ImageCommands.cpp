#include "win32/imaging/ImageCommands.h"

#include "imaging/ColourReduction.h"
#include "imaging/PixelOperations.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/imaging/Undo.h"
#include "win32/platform/Messages.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

using namespace command;

// Runs the operation of a command of the Image menu; its message, if any.
Status RunOperation(int32_t id) {
    Program& app = App();
    ImageCanvas& canvas = app.canvas;
    switch (id) {
        case kFlip: FlipImage(canvas); break;
        case kMirror: return MirrorImage(canvas);
        case kRotateLeft: return RotateLeft(canvas);
        case kRotateRight: return RotateRight(canvas);
        case kGrayscale: return GrayscaleImage(canvas, app.image, &app.host);
        case kInvert: InvertImage(canvas); break;
        case kRedChannel: KeepChannel(canvas, ColourChannel::kRed); break;
        case kGreenChannel: KeepChannel(canvas, ColourChannel::kGreen); break;
        case kBlueChannel: KeepChannel(canvas, ColourChannel::kBlue); break;
        case kAlphaAsImage: ShowAlpha(canvas, false); break;
        case kAlphaAsLayer: ShowAlpha(canvas, true); break;
        case kRgbToBgr: SwapChannels(canvas, ChannelSwap::kRedBlue); break;
        case kRgbToGrb: SwapChannels(canvas, ChannelSwap::kRedGreen); break;
        case kRgbToRbg: SwapChannels(canvas, ChannelSwap::kGreenBlue); break;
        default: break;
    }
    return Status::Ok();
}

void AfterChange(HWND window) {
    Program& app = App();
    app.image.width = app.canvas.width();
    app.image.height = app.canvas.height();
    RefreshAfterChange();
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

void ChangePixels(HWND window, int32_t id) {
    Program& app = App();
    if (!app.canvas.valid()) return;
    // The rotations take an undo copy too: undoing one would otherwise bring
    // back whatever came before the last operation that took one.
    SaveUndo();
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const Status done = RunOperation(id);
    SetCursor(previous);
    if (!done.ok()) ReportError("%s", done.message().c_str());
    if (id == kRotateLeft || id == kRotateRight) SizeWindowToCanvas();
    AfterChange(window);
}

void ConvertColourDepth(HWND window, int32_t id) {
    Program& app = App();
    if (!app.canvas.valid()) return;
    SaveUndo();
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    switch (id) {
        case kConvertTo4Bit: ConvertCanvasTo16Colours(app.canvas, app.image); break;
        case kConvertTo8Bit:
            ConvertCanvasTo256Colours(app.canvas, app.image,
                                      static_cast<PaletteMethod>(app.settings.dither8bitPalGeneration),
                                      static_cast<DitherType>(app.settings.dither8bitDitherType), &app.host);
            break;
        case kConvertTo16Bit:
            ConvertCanvasToHighColour(app.canvas, app.image,
                                      static_cast<HighColourDither>(app.settings.dither16bitDitherType));
            break;
        default: app.image.fileBitDepth = 24; break;
    }
    SetCursor(previous);
    AfterChange(window);
}

void Undo(HWND, int32_t) { RestoreUndo(); }

}  // namespace marbleye::win32
