#pragma once

#include <string>

#include "commands/KeyStroke.h"

namespace marbleye {

// How a key is named to the user ("Ctrl+O", "Page Down", "*").
std::string KeyName(const KeyStroke& key);

// The text of "Keyboard.txt": every key of the command list with what it
// does, and the mouse.
std::string KeyboardHelpText();

}  // namespace marbleye
