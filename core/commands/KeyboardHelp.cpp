#include "commands/KeyboardHelp.h"

#include <algorithm>

#include "commands/CommandList.h"

namespace marbleye {

namespace {

std::string VirtualKeyName(uint16_t key) {
    switch (key) {
        case vk::kBack: return "Backspace";
        case vk::kReturn: return "Enter";
        case vk::kEscape: return "Escape";
        case vk::kSpace: return "Space";
        case vk::kPrior: return "Page Up";
        case vk::kNext: return "Page Down";
        case vk::kEnd: return "End";
        case vk::kHome: return "Home";
        case vk::kDelete: return "Delete";
        case vk::kF1: return "F1";
        default: return std::string(1, static_cast<char>(key));
    }
}

}  // namespace

std::string KeyName(const KeyStroke& key) {
    if (key.character) return std::string(1, static_cast<char>(key.key));
    return std::string(key.control ? "Ctrl+" : "") + (key.shift ? "Shift+" : "") + VirtualKeyName(key.key);
}

std::string KeyboardHelpText() {
    std::string text = "Marbleye: keys and mouse\r\n\r\n";
    for (const CommandInfo& info : Commands()) {
        for (const KeyStroke& key : info.keys) {
            if (key.empty()) continue;
            std::string name = KeyName(key);
            name.resize(std::max<size_t>(name.size(), 14), ' ');
            text += name + "  " + PlainMenuText(info.menuText) + "\r\n";
        }
    }
    text += "\r\n"
            "Arrow keys       scroll the picture (with Shift 5 pixels, with Ctrl 50, else 20)\r\n"
            "Wheel            next or previous picture; with Ctrl zoom in or out\r\n"
            "Left button      drag a picture larger than the window\r\n"
            "Right button     draw a selection; a click opens the context menu\r\n"
            "Middle button    full screen\r\n";
    return text;
}

}  // namespace marbleye
