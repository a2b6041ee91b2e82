#include <cstdio>
#include <string_view>
#include <vector>

#include "Commands.h"

int main(int argc, char** argv) {
    using namespace marbleye::cli;
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (arguments.empty()) {
        PrintHelp();
        return kUsage;
    }
    const std::string_view command = arguments.front();
    const std::span<const std::string_view> rest(arguments.data() + 1, arguments.size() - 1);
    if (command == "--help" || command == "-h" || command == "help") {
        PrintHelp();
        return kSuccess;
    }
    if (command == "info") return RunInfo(rest);
    if (command == "convert") return RunConvert(rest);
    std::fprintf(stderr, "marbleye-cli: unknown command '%.*s' (see marbleye-cli --help)\n",
                 static_cast<int>(command.size()), command.data());
    return kUsage;
}
