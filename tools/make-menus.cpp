// Writes the resource script of the main menu, the context menus and the
// accelerator table, and the key list "Keyboard.txt", from the command
// list, so menus, keys and commands cannot drift apart.
#include <cstdio>
#include <fstream>
#include <string>

#include "commands/KeyboardHelp.h"
#include "commands/MenuLayout.h"
#include "commands/ResourceScript.h"

namespace {

bool WriteFile(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "make-menus: cannot write %s\n", path);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-menus OUTPUT.rc KEYBOARD.txt\n");
        return 2;
    }
    const std::string script = "// Made by make-menus from the command list; not to be edited.\n\n" +
                               marbleye::MenuResourceScript("IDM_MAINMENU", marbleye::MainMenuLayout()) + "\n" +
                               marbleye::MenuResourceScript("VIEWPOPUPMENU", marbleye::ViewerPopupLayout()) + "\n" +
                               marbleye::MenuResourceScript("TOOLBARPOPUP", marbleye::ToolbarPopupLayout()) + "\n" +
                               marbleye::AcceleratorResourceScript("IDA_ACCELERATORS");
    const bool written = WriteFile(argv[1], script) && WriteFile(argv[2], marbleye::KeyboardHelpText());
    return written ? 0 : 1;
}
