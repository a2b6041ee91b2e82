#include "Commands.h"

#include <cstdio>
#include <cstdlib>
#include <vector>
#include <optional>
#include <string>

#include "CliHost.h"
#include "Operations.h"
#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "common/PathText.h"
#include "formats/FormatTable.h"
#include "formats/LoadImage.h"
#include "output/SaveByExtension.h"
#include "settings/AppSettings.h"
#include "settings/IniFile.h"
#include "settings/SettingsTable.h"

namespace marbleye::cli {

namespace {

constexpr const char* kHelp =
    "marbleye-cli - Marbleye's picture reader and writer on the command line\n"
    "\n"
    "Usage:\n"
    "  marbleye-cli info FILE [--thumbnail SIZE]\n"
    "      Reads FILE with the reader its extension chooses and prints the format id,\n"
    "      width, height, bit depth as stored in the file, depth of the decoded\n"
    "      picture and the time the load took; for animations also the number\n"
    "      of frames and their delays, for MNG and JNG files the frames and\n"
    "      layers. --thumbnail loads as the thumbnail browser does for\n"
    "      thumbnails of SIZE pixels (JPEGs decode at a reduced scale) and\n"
    "      prints the decoded size.\n"
    "  marbleye-cli convert IN OUT [--settings FILE] [--set KEY=VALUE ...] [OPERATION ...]\n"
    "      Reads IN and writes it to OUT with the writer the extension of OUT\n"
    "      chooses (bmp dib rle gif jpg jpeg jif jfif png tif tiff vkp pcx tga sgi rgb\n"
    "      rgba ras sun ppm pgm so far).\n"
    "      Writer options come from the settings file (section SaveAs of\n"
    "      Marbleye.ini); without --settings the defaults apply. --set overrides\n"
    "      one key of that section, e.g. --set JPGQuality=60 --set JPGProgressive=1,\n"
    "      --set PNGInterlace=1, --set TIFCompression=4 (0 none, 1 PackBits,\n"
    "      2 Deflate, 3 JPEG, 4 LZW).\n";

// The operations of convert come between the two parts.
constexpr const char* kHelpEnd =
    "  marbleye-cli --help\n"
    "      Shows this text.\n"
    "\n"
    "Messages go to stderr. Exit codes: 0 success, 1 the picture could not be\n"
    "read or written, 2 the command line is wrong.\n";

int UsageError(const char* message) {
    std::fprintf(stderr, "marbleye-cli: %s (see marbleye-cli --help)\n", message);
    return kUsage;
}

LoadResult Load(const std::string& path, CliHost& host, ImageCanvas& canvas, CurrentImage& image,
                const LoadOptions& options = LoadOptions()) {
    LoadContext context{canvas, image, options, host};
    LoadResult result = LoadImageFile(path, context);
    if (!result.status) std::fprintf(stderr, "%s\n", result.errorText.c_str());
    return result;
}

}  // namespace

void PrintHelp() {
    std::fputs(kHelp, stdout);
    std::fputs(kOperationsHelp, stdout);
    std::fputs(kHelpEnd, stdout);
}

int RunInfo(std::span<const std::string_view> arguments) {
    LoadOptions options;
    std::vector<std::string> files;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--thumbnail") {
            const int32_t side = i + 1 < arguments.size() ? std::atoi(std::string(arguments[++i]).c_str()) : 0;
            if (side < 1) return UsageError("--thumbnail takes a size in pixels");
            options.thumbnail = true;
            options.thumbnailWidth = options.thumbnailHeight = side;
        } else if (arguments[i].starts_with("--")) {
            return UsageError("unknown option for info");
        } else {
            files.emplace_back(arguments[i]);
        }
    }
    if (files.size() != 1) return UsageError("info takes one file");
    const std::string& path = files[0];
    CliHost host;
    ImageCanvas canvas;
    CurrentImage image;
    const LoadResult result = Load(path, host, canvas, image, options);
    if (!result.status) return kFailure;

    const FormatEntry* format = FindFormat(path);
    std::printf("file: %s\n", path.c_str());
    std::printf("format id: %d (%.*s)\n", image.formatId, static_cast<int>(format->name.size()),
                format->name.data());
    std::printf("width: %d\n", image.width);
    std::printf("height: %d\n", image.height);
    std::printf("file bit depth: %d\n", image.fileBitDepth);
    std::printf("canvas depth: %d\n", canvas.bitsPerPixel());
    if (options.thumbnail) std::printf("decoded size: %dx%d\n", canvas.width(), canvas.height());
    std::printf("load time: %u ms\n", result.loadTimeMs);
    if (image.animation.frameCount >= 2) {
        std::printf("frames: %d\n", image.animation.frameCount);
        std::printf("delays (1/100 s):");
        for (auto delay = image.animation.delays.rbegin(); delay != image.animation.delays.rend(); ++delay) {
            std::printf(" %d", *delay);
        }
        std::printf("\n");
    }
    if (image.mngCounts.frameCount > 0) {
        std::printf("frames: %d\n", image.mngCounts.frameCount);
        std::printf("layers: %d\n", image.mngCounts.layerCount);
    }
    return kSuccess;
}

bool IsSaveAsKey(std::string_view key) {
    for (const IntSetting& setting : IntSettings()) {
        if (EqualsIgnoreCase(setting.section, "SaveAs") && EqualsIgnoreCase(setting.key, key)) return true;
    }
    return false;
}

int RunConvert(std::span<const std::string_view> arguments) {
    std::vector<std::string> files;
    std::optional<std::string> settingsPath;
    std::vector<std::pair<std::string, std::string>> overrides;
    std::vector<Operation> operations;
    ColourReductionChoice colours;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string option(arguments[i]);
        const bool takesValue = option == "--settings" || option == "--set" || option == "--palette" ||
                                option == "--dither" || OperationTakesValue(option);
        if (takesValue && i + 1 == arguments.size()) return UsageError((option + " needs a value").c_str());
        if (option == "--settings") {
            settingsPath = std::string(arguments[++i]);
        } else if (option == "--set") {
            const std::string value(arguments[++i]);
            const size_t equals = value.find('=');
            if (equals == std::string::npos || !IsSaveAsKey(value.substr(0, equals))) {
                return UsageError("--set takes KEY=VALUE with a key of section SaveAs");
            }
            overrides.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        } else if (option == "--palette") {
            colours.palette = arguments[++i];
        } else if (option == "--dither") {
            colours.dither = std::string(arguments[++i]);
        } else if (IsOperationOption(option)) {
            operations.push_back(Operation{option, takesValue ? std::string(arguments[++i]) : std::string()});
            if (const auto problem = CheckOperation(operations.back())) return UsageError(problem->c_str());
        } else if (option.starts_with("--")) {
            return UsageError("unknown option for convert");
        } else {
            files.push_back(option);
        }
    }
    if (files.size() != 2) return UsageError("convert takes an input and an output file");
    if (!FindWriter(files[1])) return UsageError("no writer takes the extension of the output file");
    for (const Operation& operation : operations) {
        if (operation.option != "--colors") continue;
        if (const auto problem = CheckColourChoice(colours, operation.value)) return UsageError(problem->c_str());
    }

    IniFile ini = settingsPath ? IniFile::Load(*settingsPath) : IniFile();
    for (const auto& [key, value] : overrides) ini.SetString("SaveAs", key, value);
    const AppSettings settings = LoadSettings(ini, ScreenMetrics());
    CliHost host;
    ImageCanvas canvas;
    CurrentImage image;
    LoadOptions options;
    options.photoCdSize = settings.pcdLoadSize;
    if (!Load(files[0], host, canvas, image, options).status) return kFailure;
    const Status changed = ApplyOperations(operations, colours, canvas, image, host);
    if (!changed.ok()) {
        std::fprintf(stderr, "%s: %s\n", files[0].c_str(), changed.message().c_str());
        return kFailure;
    }

    const std::optional<Status> saved =
        SaveByExtension(files[1], SaveSource{canvas, image}, settings, host);
    if (!saved->ok()) {
        std::fprintf(stderr, "%s: %s\n", files[1].c_str(), saved->message().c_str());
        return kFailure;
    }
    return kSuccess;
}

}  // namespace marbleye::cli
