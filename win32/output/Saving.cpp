#include "win32/output/Saving.h"

#include "output/SaveByExtension.h"
#include "win32/app/Program.h"
#include "win32/platform/Messages.h"
#include "win32/platform/Paths.h"

namespace marbleye::win32 {

bool SavePicture(const std::string& path) {
    Program& app = App();
    const std::optional<Status> saved =
        SaveByExtension(ToCorePath(path), SaveSource{app.canvas, app.image}, app.settings, app.host);
    if (saved && !saved->ok()) ReportError("%s", saved->message().c_str());
    return saved && saved->ok();
}

}  // namespace marbleye::win32
