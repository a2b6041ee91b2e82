#include "Operations.h"

#include <charconv>
#include <ctime>
#include <span>

#include "imaging/ColourReduction.h"
#include "imaging/Effects.h"
#include "imaging/PixelOperations.h"
#include "imaging/Resample.h"
#include "imaging/ResizeImage.h"

namespace marbleye::cli {

namespace {

// A word of a list, as its position; std::nullopt when it is not there.
std::optional<int32_t> Choice(std::string_view word, std::span<const std::string_view> words) {
    int32_t index = 0;
    for (std::string_view candidate : words) {
        if (candidate == word) return index;
        ++index;
    }
    return std::nullopt;
}

constexpr std::string_view kPalettes[] = {"median",      "popularity",    "default",
                                                               "neural-best", "neural-medium", "neural-worst"};
constexpr std::string_view kDithers256[] = {"none", "ordered", "jitter", "serpentine"};
constexpr std::string_view kDithersHigh[] = {"none", "ordered", "floyd-steinberg"};
constexpr std::string_view kChannels[] = {"red", "green", "blue"};
constexpr std::string_view kAlphaForms[] = {"image", "layer"};
constexpr std::string_view kSwaps[] = {"rb", "rg", "gb"};

// A whole decimal number within [low, high].
std::optional<int64_t> Number(std::string_view text, int64_t low, int64_t high) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

// The parts of text between the separators (one or more of them).
std::vector<std::string_view> Split(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find_first_of(separators, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

struct ResizeRequest {
    int64_t width, height;
    ScaleFilterId filter;
};

// "WxH" or "WxH:FILTER", FILTER 1 to 6 as the settings number the methods.
std::optional<ResizeRequest> ParseResize(std::string_view value) {
    const std::vector<std::string_view> parts = Split(value, "x:");
    if (parts.size() != 2 && parts.size() != 3) return std::nullopt;
    if (value.find('x') > value.find(':')) return std::nullopt;
    const auto width = Number(parts[0], 0, INT32_MAX);
    const auto height = Number(parts[1], 0, INT32_MAX);
    const auto filter = parts.size() == 3 ? Number(parts[2], 1, 6) : std::optional<int64_t>(3);
    if (!width || !height || !filter) return std::nullopt;
    return ResizeRequest{*width, *height, static_cast<ScaleFilterId>(*filter)};
}

struct BlurRequest {
    int32_t randomization, repeatCount;
    uint32_t seed;
};

// "R,N" or "R,N,SEED"; without a seed the time gives one, as in the program.
std::optional<BlurRequest> ParseBlur(std::string_view value) {
    const std::vector<std::string_view> parts = Split(value, ",");
    if (parts.size() != 2 && parts.size() != 3) return std::nullopt;
    const auto randomization = Number(parts[0], 1, 100);
    const auto repeatCount = Number(parts[1], 1, 100);
    const auto seed = parts.size() == 3 ? Number(parts[2], 0, UINT32_MAX)
                                        : std::optional<int64_t>(static_cast<uint32_t>(std::time(nullptr)));
    if (!randomization || !repeatCount || !seed) return std::nullopt;
    return BlurRequest{static_cast<int32_t>(*randomization), static_cast<int32_t>(*repeatCount),
                       static_cast<uint32_t>(*seed)};
}

struct Target {
    ImageCanvas& canvas;
    CurrentImage& image;
    Host& host;
    const ColourReductionChoice& colours;
};

Status Done(bool ok, std::string_view option) {
    if (ok) return Status::Ok();
    return Status::Fail("not enough memory for " + std::string(option));
}

bool ReduceColours(std::string_view count, const ColourReductionChoice& choice, Target& target) {
    if (count == "16") return ConvertCanvasTo16Colours(target.canvas, target.image);
    if (count == "256") {
        return ConvertCanvasTo256Colours(target.canvas, target.image,
                                         static_cast<PaletteMethod>(*Choice(choice.palette, kPalettes)),
                                         static_cast<DitherType>(*Choice(choice.dither.value_or("none"), kDithers256)),
                                         &target.host);
    }
    const auto dither = Choice(choice.dither.value_or("floyd-steinberg"), kDithersHigh);
    return ConvertCanvasToHighColour(target.canvas, target.image, static_cast<HighColourDither>(*dither));
}

// One row per operation: its option, what its value must be (empty when it
// takes none), and how it runs once the value is known to be right.
struct OperationEntry {
    std::string_view option;
    std::string_view valueRule;
    bool (*valid)(std::string_view value);
    Status (*run)(std::string_view value, Target& target);
};

bool NoValue(std::string_view) { return true; }

// clang-format off
constexpr OperationEntry kOperations[] = {
    {"--resize", "WxH or WxH:FILTER with FILTER 1 to 6",
     [](std::string_view v) { return ParseResize(v).has_value(); },
     [](std::string_view v, Target& t) {
         const ResizeRequest request = *ParseResize(v);
         return ResizeImage(t.canvas, request.width, request.height, request.filter, &t.host);
     }},
    {"--flip", "", &NoValue, [](std::string_view, Target& t) { return Done(FlipImage(t.canvas), "--flip"); }},
    {"--mirror", "", &NoValue, [](std::string_view, Target& t) { return MirrorImage(t.canvas); }},
    {"--rotate-left", "", &NoValue, [](std::string_view, Target& t) { return RotateLeft(t.canvas); }},
    {"--rotate-right", "", &NoValue, [](std::string_view, Target& t) { return RotateRight(t.canvas); }},
    {"--grayscale", "", &NoValue,
     [](std::string_view, Target& t) { return GrayscaleImage(t.canvas, t.image, &t.host); }},
    {"--invert", "", &NoValue, [](std::string_view, Target& t) { return Done(InvertImage(t.canvas), "--invert"); }},
    {"--keep-channel", "red, green or blue",
     [](std::string_view v) { return Choice(v, kChannels).has_value(); },
     [](std::string_view v, Target& t) {
         return Done(KeepChannel(t.canvas, static_cast<ColourChannel>(*Choice(v, kChannels))), "--keep-channel");
     }},
    {"--show-alpha", "image or layer",
     [](std::string_view v) { return Choice(v, kAlphaForms).has_value(); },
     [](std::string_view v, Target& t) { return Done(ShowAlpha(t.canvas, v == "layer"), "--show-alpha"); }},
    {"--swap", "rb, rg or gb",
     [](std::string_view v) { return Choice(v, kSwaps).has_value(); },
     [](std::string_view v, Target& t) {
         return Done(SwapChannels(t.canvas, static_cast<ChannelSwap>(*Choice(v, kSwaps))), "--swap");
     }},
    {"--blur", "R,N or R,N,SEED with R and N from 1 to 100",
     [](std::string_view v) { return ParseBlur(v).has_value(); },
     [](std::string_view v, Target& t) {
         const BlurRequest blur = *ParseBlur(v);
         return Done(BlurImage(t.canvas, blur.randomization, blur.repeatCount, blur.seed, &t.host), "--blur");
     }},
    {"--pixelize", "a block width from 1 to 64",
     [](std::string_view v) { return Number(v, 1, 64).has_value(); },
     [](std::string_view v, Target& t) {
         return Done(PixelizeImage(t.canvas, static_cast<int32_t>(*Number(v, 1, 64)), &t.host), "--pixelize");
     }},
    {"--sharpen", "a percentage from 1 to 100",
     [](std::string_view v) { return Number(v, 1, 100).has_value(); },
     [](std::string_view v, Target& t) {
         return Done(SharpenImage(t.canvas, static_cast<int32_t>(*Number(v, 1, 100)), &t.host), "--sharpen");
     }},
    {"--seamless", "", &NoValue,
     [](std::string_view, Target& t) { return Done(SeamlessImage(t.canvas, &t.host), "--seamless"); }},
    {"--buttonize", "", &NoValue,
     [](std::string_view, Target& t) { return Done(ButtonizeImage(t.canvas, &t.host), "--buttonize"); }},
    {"--colors", "16, 256 or high",
     [](std::string_view v) { return v == "16" || v == "256" || v == "high"; },
     [](std::string_view v, Target& t) { return Done(ReduceColours(v, t.colours, t), "--colors"); }},
};
// clang-format on

const OperationEntry* Find(std::string_view option) {
    for (const OperationEntry& entry : kOperations) {
        if (entry.option == option) return &entry;
    }
    return nullptr;
}

}  // namespace

const char* const kOperationsHelp =
    "      Operations, applied in the order given:\n"
    "        --resize WxH[:FILTER]  resample to W x H pixels (0 counts as 1) with FILTER\n"
    "                          1 Fast'n'Dirty, 2 Box, 3 Bilinear (default), 4 Gaussian,\n"
    "                          5 Hamming, 6 Blackman; the result has 24 bits per pixel\n"
    "        --flip, --mirror  upside down, left to right\n"
    "        --rotate-left, --rotate-right   a quarter turn (24 bits per pixel)\n"
    "        --grayscale       gray, as 256 colours\n"
    "        --invert          every bit of the pixels (palette indices of paletted pictures)\n"
    "        --keep-channel red|green|blue   the other two channels become 0\n"
    "        --show-alpha image|layer        the alpha channel as the picture, or only\n"
    "                          where it is not 0\n"
    "        --swap rb|rg|gb   exchange red and blue, red and green, green and blue\n"
    "        --blur R,N[,SEED] N passes of a 3x3 blur, each byte blurred with R percent\n"
    "                          chance (1 to 100); SEED repeats a run, the time by default\n"
    "        --pixelize P      blocks of P x P pixels (1 to 64) of their average colour\n"
    "        --sharpen S       sharpen by S percent (1 to 100)\n"
    "        --seamless        blend with itself shifted by half, so that it tiles\n"
    "        --buttonize       a raised bevel round the edges\n"
    "        --colors 16       eight colours with an 8x8 ordered dither, 4 bits per pixel\n"
    "        --colors 256      a 256-colour palette, 8 bits per pixel, made with\n"
    "          --palette median|popularity|default|neural-best|neural-medium|neural-worst\n"
    "          --dither none|ordered|jitter|serpentine   (defaults: median, none)\n"
    "        --colors high     dithered for a 5-6-5 display, stays 24 bits, with\n"
    "          --dither none|ordered|floyd-steinberg     (default: floyd-steinberg)\n";

bool IsOperationOption(std::string_view option) { return Find(option) != nullptr; }

bool OperationTakesValue(std::string_view option) {
    const OperationEntry* entry = Find(option);
    return entry && !entry->valueRule.empty();
}

std::optional<std::string> CheckOperation(const Operation& operation) {
    const OperationEntry* entry = Find(operation.option);
    if (!entry) return "unknown operation " + operation.option;
    if (entry->valid(operation.value)) return std::nullopt;
    return operation.option + " takes " + std::string(entry->valueRule);
}

std::optional<std::string> CheckColourChoice(const ColourReductionChoice& choice, std::string_view count) {
    if (!Choice(choice.palette, kPalettes)) return "unknown --palette value";
    if (!choice.dither || count == "16") return std::nullopt;
    const std::span<const std::string_view> dithers = count == "256" ? std::span<const std::string_view>(kDithers256) : kDithersHigh;
    if (!Choice(*choice.dither, dithers)) {
        return "--dither " + *choice.dither + " does not go with --colors " + std::string(count);
    }
    return std::nullopt;
}

Status ApplyOperations(std::span<const Operation> operations, const ColourReductionChoice& colours,
                       ImageCanvas& canvas, CurrentImage& image, Host& host) {
    Target target{canvas, image, host, colours};
    for (const Operation& operation : operations) {
        const Status done = Find(operation.option)->run(operation.value, target);
        image.width = canvas.width();
        image.height = canvas.height();
        if (!done.ok()) return done;
    }
    return Status::Ok();
}

}  // namespace marbleye::cli
