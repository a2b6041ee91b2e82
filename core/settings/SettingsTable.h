#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "settings/AppSettings.h"

namespace marbleye {

// Integer defaults that come from the screen instead of the field's initialiser.
enum class ScreenDefault { kNone, kScreenWidthLess200, kScreenWidth, kFullScreenClientHeight };

struct IntSetting {
    std::string_view section;
    std::string_view key;
    int32_t AppSettings::*field;
    ScreenDefault screenDefault = ScreenDefault::kNone;
};

struct StringSetting {
    std::string_view section;
    std::string_view key;
    std::string AppSettings::*field;
    size_t capacity;  // the reading buffer's size: values keep capacity - 1 characters
};

// Every single-valued key of the settings file. The defaults are the
// initialisers of AppSettings and the screen rules named here; the indexed
// keys (toolbar slots, target lists, browse history) are read beside them.
std::span<const IntSetting> IntSettings();
std::span<const StringSetting> StringSettings();

}  // namespace marbleye
