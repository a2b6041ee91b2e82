#pragma once

#include <array>
#include <string_view>

#include "settings/AppSettings.h"

namespace marbleye {

// The toolbar a new installation shows; "Restore Default Toolbar" brings it back.
const std::array<ToolbarSlot, kToolbarSlotCount>& DefaultToolbarSlots();

// The English button labels, one per slot ("SEP" for separators).
const std::array<std::string_view, kToolbarSlotCount>& DefaultToolbarLabels();

}  // namespace marbleye
