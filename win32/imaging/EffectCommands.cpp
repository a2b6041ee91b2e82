#include "win32/imaging/EffectCommands.h"

#include <ctime>

#include "imaging/ColourReduction.h"
#include "imaging/Effects.h"
#include "imaging/ResizeImage.h"
#include "win32/app/Program.h"
#include "win32/dialogs/DitherDialog.h"
#include "win32/dialogs/EffectDialog.h"
#include "win32/dialogs/ResizeDialog.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/imaging/Undo.h"
#include "win32/platform/Messages.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

using namespace command;

// Shows the wait cursor while it lives.
class WaitCursor {
public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous_;
};

void AfterChange(bool sizeChanged) {
    Program& app = App();
    app.image.width = app.canvas.width();
    app.image.height = app.canvas.height();
    if (sizeChanged) SizeWindowToCanvas();
    RefreshAfterChange();
}

// The effect of a command with the settings as they are.
void Apply(int32_t id) {
    Program& app = App();
    const AppSettings& settings = app.settings;
    switch (id) {
        case kBlur:
            BlurImage(app.canvas, settings.effBlurRandomization, settings.effBlurRepeatCount,
                      static_cast<uint32_t>(std::time(nullptr)), &app.host);
            break;
        case kPixelize: PixelizeImage(app.canvas, settings.effPixelizePixelWidth, &app.host); break;
        case kSharpen: SharpenImage(app.canvas, settings.effSharpenPercent, &app.host); break;
        case kSeamless: SeamlessImage(app.canvas, &app.host); break;
        case kButtonize: ButtonizeImage(app.canvas, &app.host); break;
        default: break;
    }
}

std::optional<EffectDialogKind> DialogOf(int32_t id) {
    switch (id) {
        case kBlur: return EffectDialogKind::kBlur;
        case kPixelize: return EffectDialogKind::kPixelize;
        case kSharpen: return EffectDialogKind::kSharpen;
        default: return std::nullopt;
    }
}

}  // namespace

// The undo copy is taken once the dialog is confirmed: cancelling it keeps
// the undo of the operation before.
void ResizePicture(HWND window, int32_t) {
    Program& app = App();
    if (!app.canvas.valid()) return;
    const std::optional<ResizeChoice> choice = AskNewSize(window, app.canvas.width(), app.canvas.height());
    if (!choice) return;
    app.settings.scaleType = static_cast<int32_t>(choice->filter);
    SaveUndo();
    Status resized = Status::Ok();
    {
        WaitCursor wait;
        resized = ResizeImage(app.canvas, choice->width, choice->height, choice->filter, &app.host);
    }
    if (!resized.ok()) ReportError("%s", resized.message().c_str());
    AfterChange(resized.ok());
}

void RunEffect(HWND window, int32_t id) {
    Program& app = App();
    if (!app.canvas.valid()) return;
    const std::optional<EffectDialogKind> dialog = DialogOf(id);
    if (dialog && !AskEffectSettings(window, *dialog)) return;
    SaveUndo();
    {
        WaitCursor wait;
        Apply(id);
    }
    AfterChange(false);
}

void ReduceColoursAsChosen(HWND window, int32_t) {
    Program& app = App();
    if (!app.canvas.valid()) return;
    const std::optional<ColourReductionChoice> choice = AskColourReduction(window);
    if (!choice) return;
    SaveUndo();
    {
        WaitCursor wait;
        if (choice->bits == 4) ConvertCanvasTo16Colours(app.canvas, app.image);
        if (choice->bits == 8) {
            ConvertCanvasTo256Colours(app.canvas, app.image, choice->palette, choice->dither, &app.host);
        }
        if (choice->bits == 16) ConvertCanvasToHighColour(app.canvas, app.image, choice->highColourDither);
    }
    AfterChange(false);
}

}  // namespace marbleye::win32
