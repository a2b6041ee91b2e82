#include "win32/app/CommandRouter.h"

#include <array>

#include "win32/app/AppCommands.h"
#include "win32/app/HelpCommands.h"
#include "win32/app/PendingCommands.h"
#include "win32/files/OpenWithCommands.h"
#include "win32/frame/FrameCommands.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/imaging/EffectCommands.h"
#include "win32/imaging/ImageCommands.h"
#include "win32/output/Wallpaper.h"
#include "win32/settings/SettingsCommands.h"
#include "win32/viewer/ViewerCommands.h"

namespace marbleye::win32 {

namespace {

// Every subsystem's route list, asked in this order.
constexpr std::array<CommandRoutes, 10> kSubsystems = {
    CommandRoutes(kAppCommands),       CommandRoutes(kHelpCommands),     CommandRoutes(kViewerCommands),
    CommandRoutes(kFrameCommands),     CommandRoutes(kImageCommands),    CommandRoutes(kEffectCommands),
    CommandRoutes(kOpenWithCommands),  CommandRoutes(kWallpaperCommands), CommandRoutes(kSettingsCommands),
    CommandRoutes(kPendingCommands),
};

constexpr int RouteCount(int32_t id) {
    int count = 0;
    for (CommandRoutes routes : kSubsystems) {
        for (const CommandRoute& route : routes) count += route.id == id && route.run != nullptr;
    }
    return count;
}

constexpr bool EveryCommandHasExactlyOneRoute() {
    for (const CommandInfo& info : Commands()) {
        if (RouteCount(info.id) != 1) return false;
    }
    return true;
}

constexpr bool EveryRouteNamesAListedCommand() {
    for (CommandRoutes routes : kSubsystems) {
        for (const CommandRoute& route : routes) {
            if (!FindCommand(route.id)) return false;
        }
    }
    return true;
}

static_assert(EveryCommandHasExactlyOneRoute(), "a command of the list has no handler, or more than one");
static_assert(EveryRouteNamesAListedCommand(), "a route names a command that is not in the command list");

}  // namespace

bool RunCommand(HWND window, int32_t commandId) {
    for (CommandRoutes routes : kSubsystems) {
        for (const CommandRoute& route : routes) {
            if (route.id != commandId) continue;
            route.run(window, commandId);
            UpdateMenuState();
            UpdateToolbarState();
            return true;
        }
    }
    return false;
}

}  // namespace marbleye::win32
