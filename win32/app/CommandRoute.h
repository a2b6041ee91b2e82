#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "commands/CommandList.h"

namespace marbleye::win32 {

// One command a subsystem carries out, and the function that does it.
struct CommandRoute {
    int32_t id;
    void (*run)(HWND window, int32_t id);
};

using CommandRoutes = std::span<const CommandRoute>;

}  // namespace marbleye::win32
