// Writes the resource script of the main menu and the accelerator table from
// the command list, so menus, keys and commands cannot drift apart.
#include <cstdio>
#include <fstream>
#include <string>

#include "commands/MenuLayout.h"
#include "commands/ResourceScript.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-menus OUTPUT.rc\n");
        return 2;
    }
    const std::string script = "// Made by make-menus from the command list; not to be edited.\n\n" +
                               marbleye::MenuResourceScript("IDM_MAINMENU", marbleye::MainMenuLayout()) + "\n" +
                               marbleye::AcceleratorResourceScript("IDA_ACCELERATORS");
    std::ofstream out(argv[1], std::ios::binary);
    out << script;
    out.close();
    if (!out) {
        std::fprintf(stderr, "make-menus: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
