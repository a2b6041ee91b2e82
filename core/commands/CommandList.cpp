#include "commands/CommandList.h"

#include <string>

namespace marbleye {

std::string PlainMenuText(std::string_view menuText) {
    std::string plain;
    const std::string_view shown = menuText.substr(0, menuText.find('\t'));
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '&' && i + 1 < shown.size()) ++i;  // "&&" stands for one '&'
        plain += shown[i];
    }
    while (!plain.empty() && plain.back() == ' ') plain.pop_back();
    return plain;
}

}  // namespace marbleye
