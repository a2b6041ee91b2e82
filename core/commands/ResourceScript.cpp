#include "commands/ResourceScript.h"

#include <cassert>
#include <cstdio>

#include "commands/CommandList.h"

namespace marbleye {

namespace {

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') {
            quoted += "\"\"";
        } else if (c == '\\') {
            quoted += "\\\\";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string Indent(int depth) { return std::string(static_cast<size_t>(depth) * 4, ' '); }

std::string AcceleratorLine(const KeyStroke& key, int32_t command) {
    char line[96];
    if (key.character) {
        std::snprintf(line, sizeof line, "    \"%c\", %d, ASCII\n", static_cast<char>(key.key), command);
        return line;
    }
    std::snprintf(line, sizeof line, "    %u, %d, VIRTKEY%s%s\n", static_cast<unsigned>(key.key), command,
                  key.control ? ", CONTROL" : "", key.shift ? ", SHIFT" : "");
    return line;
}

}  // namespace

std::string MenuResourceScript(std::string_view resourceName, std::span<const MenuNode> layout) {
    std::string script = std::string(resourceName) + " MENU\nBEGIN\n";
    int depth = 1;
    for (const MenuNode& node : layout) {
        switch (node.kind) {
            case MenuNodeKind::kPopup:
                script += Indent(depth) + "POPUP " + Quoted(node.text) + "\n" + Indent(depth) + "BEGIN\n";
                ++depth;
                break;
            case MenuNodeKind::kEnd:
                --depth;
                assert(depth >= 1 && "an end node without its popup");
                script += Indent(depth) + "END\n";
                break;
            case MenuNodeKind::kSeparator: script += Indent(depth) + "MENUITEM SEPARATOR\n"; break;
            case MenuNodeKind::kItem: {
                const CommandInfo* info = FindCommand(node.command);
                assert((info || !node.text.empty()) && "a menu item without a command needs its own text");
                const std::string_view text = node.text.empty() && info ? info->menuText : node.text;
                script += Indent(depth) + "MENUITEM " + Quoted(text) + ", " + std::to_string(node.command) + "\n";
                break;
            }
        }
    }
    assert(depth == 1 && "a popup without its end node");
    return script + "END\n";
}

std::string AcceleratorResourceScript(std::string_view resourceName) {
    std::string script = std::string(resourceName) + " ACCELERATORS\nBEGIN\n";
    for (const CommandInfo& info : Commands()) {
        for (const KeyStroke& key : info.keys) {
            if (!key.empty()) script += AcceleratorLine(key, info.id);
        }
    }
    return script + "END\n";
}

}  // namespace marbleye
