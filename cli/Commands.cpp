#include "Commands.h"

#include <cstdio>
#include <cstdlib>
#include <vector>
#include <optional>
#include <string>

#include "CliHost.h"
#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "common/PathText.h"
#include "formats/FormatTable.h"
#include "formats/LoadImage.h"
#include "imaging/ColourReduction.h"
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
    "      of frames and their delays. --thumbnail loads as the thumbnail\n"
    "      browser does for thumbnails of SIZE pixels (JPEGs decode at a reduced\n"
    "      scale) and prints the decoded size.\n"
    "  marbleye-cli convert IN OUT [--settings FILE] [--set KEY=VALUE ...]\n"
    "      Reads IN and writes it to OUT with the writer the extension of OUT\n"
    "      chooses (bmp dib rle gif jpg jpeg jif jfif png tif tiff vkp pcx tga sgi rgb\n"
    "      rgba ras sun ppm pgm so far).\n"
    "      Writer options come from the settings file (section SaveAs of\n"
    "      Marbleye.ini); without --settings the defaults apply. --set overrides\n"
    "      one key of that section, e.g. --set JPGQuality=60 --set JPGProgressive=1,\n"
    "      --set PNGInterlace=1, --set TIFCompression=4 (0 none, 1 PackBits,\n"
    "      2 Deflate, 3 JPEG, 4 LZW).\n"
    "      Options to reduce the colours before writing:\n"
    "        --colors 16       eight colours with an 8x8 ordered dither, 4 bits per pixel\n"
    "        --colors 256      a 256-colour palette, 8 bits per pixel, made with\n"
    "          --palette median|popularity|default|neural-best|neural-medium|neural-worst\n"
    "          --dither none|ordered|jitter|serpentine   (defaults: median, none)\n"
    "        --colors high     dithered for a 5-6-5 display, stays 24 bits, with\n"
    "          --dither none|ordered|floyd-steinberg     (default: floyd-steinberg)\n"
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

// A word of a list, as its position; std::nullopt when it is not there.
std::optional<int32_t> Choice(std::string_view word, std::initializer_list<std::string_view> words) {
    int32_t index = 0;
    for (std::string_view candidate : words) {
        if (candidate == word) return index;
        ++index;
    }
    return std::nullopt;
}

// What convert does to the colours before writing.
struct Reduction {
    std::string colours;  // empty, "16", "256" or "high"
    std::string palette = "median";
    std::optional<std::string> dither;
};

bool Reduce(const Reduction& reduction, ImageCanvas& canvas, CurrentImage& image) {
    if (reduction.colours == "16") return ConvertCanvasTo16Colours(canvas, image);
    if (reduction.colours == "256") {
        const auto method = Choice(reduction.palette, {"median", "popularity", "default", "neural-best",
                                                       "neural-medium", "neural-worst"});
        const auto dither = Choice(reduction.dither.value_or("none"), {"none", "ordered", "jitter", "serpentine"});
        return method && dither &&
               ConvertCanvasTo256Colours(canvas, image, static_cast<PaletteMethod>(*method),
                                         static_cast<DitherType>(*dither));
    }
    const auto dither = Choice(reduction.dither.value_or("floyd-steinberg"), {"none", "ordered", "floyd-steinberg"});
    return dither && ConvertCanvasToHighColour(canvas, image, static_cast<HighColourDither>(*dither));
}

bool ValidReduction(const Reduction& r) {
    if (r.colours.empty()) return true;
    if (r.colours == "16") return true;
    if (r.colours == "256") {
        return Choice(r.palette, {"median", "popularity", "default", "neural-best", "neural-medium", "neural-worst"}) &&
               Choice(r.dither.value_or("none"), {"none", "ordered", "jitter", "serpentine"});
    }
    return r.colours == "high" && Choice(r.dither.value_or("floyd-steinberg"), {"none", "ordered", "floyd-steinberg"});
}

}  // namespace

void PrintHelp() { std::fputs(kHelp, stdout); }

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
    Reduction reduction;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view option = arguments[i];
        if (option == "--settings" || option == "--set" || option == "--colors" || option == "--palette" ||
            option == "--dither") {
            if (i + 1 == arguments.size()) return UsageError("an option needs a value");
            const std::string value(arguments[++i]);
            if (option == "--settings") settingsPath = value;
            if (option == "--set") {
                const size_t equals = value.find('=');
                if (equals == std::string::npos || !IsSaveAsKey(value.substr(0, equals))) {
                    return UsageError("--set takes KEY=VALUE with a key of section SaveAs");
                }
                overrides.emplace_back(value.substr(0, equals), value.substr(equals + 1));
            }
            if (option == "--colors") reduction.colours = value;
            if (option == "--palette") reduction.palette = value;
            if (option == "--dither") reduction.dither = value;
        } else if (arguments[i].starts_with("--")) {
            return UsageError("unknown option for convert");
        } else {
            files.emplace_back(arguments[i]);
        }
    }
    if (files.size() != 2) return UsageError("convert takes an input and an output file");
    if (!FindWriter(files[1])) return UsageError("no writer takes the extension of the output file");
    if (!ValidReduction(reduction)) return UsageError("unknown --colors, --palette or --dither value");

    IniFile ini = settingsPath ? IniFile::Load(*settingsPath) : IniFile();
    for (const auto& [key, value] : overrides) ini.SetString("SaveAs", key, value);
    const AppSettings settings = LoadSettings(ini, ScreenMetrics());
    CliHost host;
    ImageCanvas canvas;
    CurrentImage image;
    if (!Load(files[0], host, canvas, image).status) return kFailure;
    if (!reduction.colours.empty() && !Reduce(reduction, canvas, image)) {
        std::fprintf(stderr, "%s: not enough memory to reduce the colours\n", files[0].c_str());
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
