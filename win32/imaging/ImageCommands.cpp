#include "win32/imaging/ImageCommands.h"

#include "imaging/ColourReduction.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuUpdate.h"

namespace marbleye::win32 {

void ConvertColourDepth(HWND window, int32_t id) {
    Program& app = App();
    if (!app.canvas.valid()) return;
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    switch (id) {
        case command::kConvertTo4Bit: ConvertCanvasTo16Colours(app.canvas, app.image); break;
        case command::kConvertTo8Bit:
            ConvertCanvasTo256Colours(app.canvas, app.image,
                                      static_cast<PaletteMethod>(app.settings.dither8bitPalGeneration),
                                      static_cast<DitherType>(app.settings.dither8bitDitherType), &app.host);
            break;
        case command::kConvertTo16Bit:
            ConvertCanvasToHighColour(app.canvas, app.image,
                                      static_cast<HighColourDither>(app.settings.dither16bitDitherType));
            break;
        default: app.image.fileBitDepth = 24; break;
    }
    SetCursor(previous);
    RefreshAfterChange();
    InvalidateRect(window, nullptr, FALSE);
}

}  // namespace marbleye::win32
