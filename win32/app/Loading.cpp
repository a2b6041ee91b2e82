#include "app/Loading.h"

#include "app/Messages.h"
#include "app/Paths.h"
#include "app/Program.h"
#include "app/Viewer.h"
#include "formats/LoadImage.h"
#include "output/SaveByExtension.h"

namespace marbleye::win32 {

void LoadIntoViewer(const std::string& path) {
    Program& app = App();
    if (!app.display.lockZoom) app.display.zoom = 1.0f;
    app.animationKind = app.animationActive = app.frameCount = app.currentFrame = app.layerCount = -1;

    LoadOptions options;
    options.displayReduction.method = static_cast<PaletteMethod>(app.settings.dither8bitPalGeneration);
    options.displayReduction.dither = static_cast<DitherType>(app.settings.dither8bitDitherType);
    options.displayReduction.highColour = static_cast<HighColourDither>(app.settings.dither16bitDitherType);
    LoadContext context{app.canvas, app.image, options, app.host};
    LoadImageFile(ToCorePath(path), context);
    SizeWindowToCanvas();

    app.currentPath = path;
    app.display.selection = RECT{};
    RefreshAfterChange();
}

void OpenPicture(const std::string& path) {
    Program& app = App();
    const std::string folder = FolderOf(path);
    BuildFolderList(app.folder, FileNameOf(path), folder, false);
    if (folder != path) SetCurrentDirectoryA(folder.c_str());
    LoadIntoViewer(path);
}

bool SavePicture(const std::string& path) {
    Program& app = App();
    const std::optional<Status> saved =
        SaveByExtension(ToCorePath(path), SaveSource{app.canvas, app.image}, app.settings, app.host);
    if (saved && !saved->ok()) ReportError("%s", saved->message().c_str());
    return saved && saved->ok();
}

}  // namespace marbleye::win32
