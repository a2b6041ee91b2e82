#pragma once

#include <cstdint>

namespace marbleye {

// Virtual-key codes as the Windows keyboard reports them.
namespace vk {
inline constexpr uint16_t kBack = 0x08;
inline constexpr uint16_t kReturn = 0x0D;
inline constexpr uint16_t kEscape = 0x1B;
inline constexpr uint16_t kSpace = 0x20;
inline constexpr uint16_t kPrior = 0x21;
inline constexpr uint16_t kNext = 0x22;
inline constexpr uint16_t kEnd = 0x23;
inline constexpr uint16_t kHome = 0x24;
inline constexpr uint16_t kDelete = 0x2E;
inline constexpr uint16_t kF1 = 0x70;
}  // namespace vk

// One accelerator: a virtual key with modifiers, or a typed character.
struct KeyStroke {
    uint16_t key = 0;  // 0: no key
    bool shift = false;
    bool control = false;
    bool character = false;  // key is the character typed, not a virtual key

    constexpr bool empty() const { return key == 0; }
    friend constexpr bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

namespace key_strokes {
constexpr KeyStroke Key(uint16_t virtualKey) { return KeyStroke{virtualKey, false, false, false}; }
constexpr KeyStroke Ctrl(char letter) { return KeyStroke{static_cast<uint16_t>(letter), false, true, false}; }
constexpr KeyStroke Shift(char letter) { return KeyStroke{static_cast<uint16_t>(letter), true, false, false}; }
constexpr KeyStroke Character(char c) { return KeyStroke{static_cast<uint16_t>(c), false, false, true}; }
}  // namespace key_strokes

}  // namespace marbleye
