#include "win32/viewer/Loading.h"

#include "formats/LoadImage.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/imaging/Undo.h"
#include "win32/platform/Paths.h"
#include "win32/viewer/FolderNavigation.h"
#include "win32/viewer/MediaWindow.h"
#include "win32/viewer/Playback.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

void LoadIntoViewer(const std::string& path) {
    Program& app = App();
    DeleteUndo();
    if (!app.display.lockZoom) app.display.zoom = 1.0f;
    StopPlayback();

    LoadOptions options;
    options.displayReduction.method = static_cast<PaletteMethod>(app.settings.dither8bitPalGeneration);
    options.displayReduction.dither = static_cast<DitherType>(app.settings.dither8bitDitherType);
    options.displayReduction.highColour = static_cast<HighColourDither>(app.settings.dither16bitDitherType);
    options.photoCdSize = app.settings.pcdLoadSize;
    options.mngOutputProfile = MngOutputProfile();
    LoadContext context{app.canvas, app.image, options, app.host};
    const LoadResult result = LoadImageFile(ToCorePath(path), context);
    if (!result.status) CloseMediaWindow();
    StartPlayback();
    if (!app.playback.mediaPlaying()) SizeWindowToCanvas();

    app.currentPath = path;
    app.display.selection = RECT{};
    RefreshAfterChange();
}

void OpenPicture(const std::string& path) {
    const std::string folder = FolderOf(path);
    BuildProgramFolderList(FileNameOf(path), folder);
    if (folder != path) SetCurrentDirectoryA(folder.c_str());
    LoadIntoViewer(path);
}

}  // namespace marbleye::win32
