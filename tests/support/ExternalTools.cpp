#include "support/ExternalTools.h"

#include <cstdio>
#include <unistd.h>

namespace marbleye::test {

bool HaveTool(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

std::optional<std::string> RunCommand(const std::string& command) {
    std::FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string output;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    if (pclose(pipe) != 0) return std::nullopt;
    return output;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

std::optional<RgbImage> DecodeWithImageMagick(const std::string& path) {
    const std::optional<std::string> ppm =
        RunCommand(std::string(kImageMagickConvert) + " " + Quoted(path) + " -alpha off -depth 8 ppm:-");
    if (!ppm) return std::nullopt;
    return FromPnm(*ppm);
}

}  // namespace marbleye::test
