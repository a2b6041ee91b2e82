#include "win32/imaging/Undo.h"

#include <windows.h>

#include <string>

#include "imaging/UndoFile.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/platform/Paths.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

std::string UndoFilePath() { return WindowsFolderFile("~mbundo.tmp"); }

}  // namespace

void SaveUndo() {
    Program& app = App();
    if (app.undo.available) DeleteUndo();
    if (!WriteUndoFile(ToCorePath(UndoFilePath()), app.canvas)) return;
    app.undo.savedBitDepth = app.image.fileBitDepth;
    app.undo.available = true;
}

void RestoreUndo() {
    Program& app = App();
    if (!app.undo.available) return;
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    if (ReadUndoFile(ToCorePath(UndoFilePath()), app.canvas, app.image.palette)) {
        app.image.fileBitDepth = app.undo.savedBitDepth;
        app.image.width = app.canvas.width();
        app.image.height = app.canvas.height();
        SizeWindowToCanvas();
    }
    DeleteUndo();
    RefreshAfterChange();
    SetCursor(previous);
}

void DeleteUndo() {
    Program& app = App();
    DeleteFileA(UndoFilePath().c_str());
    app.undo = UndoState();
}

}  // namespace marbleye::win32
