#pragma once

#include <span>
#include <string>
#include <string_view>

#include "commands/MenuLayout.h"

namespace marbleye {

// Resource-script text (for rc or wrc) of a menu and of the accelerator
// table built from the command list. Texts keep their Windows-1252 bytes as
// escapes, so the script itself is ASCII.
std::string MenuResourceScript(std::string_view resourceName, std::span<const MenuNode> layout);
std::string AcceleratorResourceScript(std::string_view resourceName);

}  // namespace marbleye
