#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/AppSettings.h"

namespace marbleye {

// The toolbar a new installation shows; "Restore Default Toolbar" brings it back.
const std::array<ToolbarSlot, kToolbarSlotCount>& DefaultToolbarSlots();

// The English button labels, one per slot ("SEP" for separators).
const std::array<std::string_view, kToolbarSlotCount>& DefaultToolbarLabels();

// A button's tooltip: its key in a language file's "Tooltips" section and
// its English text. The browser button says where it leads.
struct ToolTip {
    int32_t command;
    std::string_view languageKey;
    std::string_view english;
};
std::optional<ToolTip> DefaultToolTip(int32_t command, bool browserMode);

}  // namespace marbleye
