#include "win32/viewer/Slideshow.h"

#include <algorithm>
#include <cstdlib>

#include "app/Slideshow.h"
#include "win32/app/Program.h"
#include "win32/app/Timers.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/viewer/FolderNavigation.h"

namespace marbleye::win32 {

void StartSlideshow(HWND window) {
    Program& app = App();
    SetTimer(window, kSlideshowTimer, static_cast<UINT>(std::max(app.settings.delay, 1)), nullptr);
    app.slideshowRunning = true;
    UpdateToolbarState();
}

void StopSlideshow(HWND window) {
    KillTimer(window, kSlideshowTimer);
    App().slideshowRunning = false;
    UpdateToolbarState();
}

void ToggleSlideshow(HWND window) {
    if (App().slideshowRunning) StopSlideshow(window);
    else StartSlideshow(window);
}

void StepSlideshow(HWND window) {
    Program& app = App();
    FolderList& list = app.folder;
    if (!app.slideshowRunning || list.entries.size() < 2) return;
    const SlideshowStep step =
        NextSlideshowPosition(list.position, list.entries.size(), static_cast<SlideshowDirection>(app.settings.direction),
                              app.settings.wrapAround != 0, static_cast<uint32_t>(std::rand()));
    if (step.stop) StopSlideshow(window);
    if (step.position == list.position) return;
    list.position = step.position;
    LoadFolderEntry();
}

}  // namespace marbleye::win32
