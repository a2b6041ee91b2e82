#include "FuzzInputs.h"

#include <array>
#include <cassert>
#include <cstdio>
#include <unistd.h>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "formats/LoadImage.h"
#include "formats/FormatId.h"
#include "formats/jpeg/Jpeg.h"
#include "formats/mng/MngWriter.h"

namespace marbleye::fuzz {

namespace {

struct Family {
    std::string_view name;
    std::array<std::string_view, 4> extensions;  // each chooses a reader; empty ones unused
};

constexpr std::array kFamilies = {
    Family{"bmp", {"bmp"}}, Family{"eps", {"eps"}},  Family{"gd", {"gd", "gd2", "xbm"}}, Family{"gif", {"gif"}},
    Family{"jbig", {"jbg"}}, Family{"jpeg", {"jpg", "psp"}}, Family{"pcx", {"pcx"}}, Family{"png", {"png"}},
    Family{"pnm", {"ppm", "pgm"}}, Family{"ras", {"ras"}}, Family{"sgi", {"sgi"}}, Family{"tga", {"tga"}},
    Family{"tiff", {"tif"}}, Family{"vkp", {"vkp"}}, Family{"bilevel", {"mac", "msp", "pbm", "wbmp"}},
    Family{"iff", {"iff"}}, Family{"psd", {"psd"}}, Family{"pic", {"pic"}}, Family{"legacy", {"cut", "hrz", "img", "zbr"}},
    Family{"fits", {"fits"}}, Family{"pcd", {"pcd"}}, Family{"pix", {"pix"}}, Family{"ico", {"ico"}},
    Family{"dds", {"dds"}}, Family{"fpx", {"fpx"}}, Family{"djvu", {"djvu"}}, Family{"mngwrite", {"gif"}},
    Family{"mng", {"mng", "jng"}},
    Family{"metafile", {"wmf"}},
};

constexpr std::array<std::string_view, kFamilies.size()> kNames = [] {
    std::array<std::string_view, kFamilies.size()> names{};
    for (size_t i = 0; i < kFamilies.size(); ++i) names[i] = kFamilies[i].name;
    return names;
}();

// Readers take paths: the input goes to one file per process, named with
// the extension that picks the reader, and is loaded through the dispatcher.
std::string LoadAsFile(const uint8_t* data, size_t size, std::string_view extension, const LoadOptions& options) {
    const std::string path = "/tmp/marbleye-fuzz-" + std::to_string(getpid()) + "." + std::string(extension);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return "the fuzz input could not be written";
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    ImageCanvas canvas;
    CurrentImage image;
    LoadContext context{canvas, image, options, QuietHost()};
    const LoadResult result = LoadImageFile(path, context);
    std::remove(path.c_str());
    return result.status.ok() ? std::string() : result.status.message();
}

}  // namespace

std::span<const std::string_view> FuzzFamilies() { return kNames; }

std::vector<std::string> RunFuzzInput(std::string_view family, const uint8_t* data, size_t size) {
    const Family* found = nullptr;
    for (const Family& candidate : kFamilies) {
        if (candidate.name == family) found = &candidate;
    }
    assert(found && "a fuzz family without its readers");
    std::vector<std::string> outcomes;
    if (!found) return outcomes;
    for (const std::string_view extension : found->extensions) {
        if (!extension.empty()) outcomes.push_back(LoadAsFile(data, size, extension, LoadOptions()));
    }
    if (family == "mngwrite") {
        // The GIF loaded above is saved again as MNG from its frames.
        const std::string base = "/tmp/marbleye-fuzz-" + std::to_string(getpid());
        if (std::FILE* file = std::fopen((base + ".gif").c_str(), "wb")) {
            std::fwrite(data, 1, size, file);
            std::fclose(file);
            ImageCanvas canvas;
            CurrentImage image;
            image.formatId = format_id::kGif;
            image.path = base + ".gif";
            image.fileBitDepth = 8;
            (void)canvas.Create(1, 1, 24, 0, Palette256{});
            const Status saved = WriteMng(base + ".mng", canvas, image, QuietHost());
            outcomes.push_back(saved.ok() ? std::string() : saved.message());
            std::remove((base + ".gif").c_str());
            std::remove((base + ".mng").c_str());
            std::remove((base + ".png").c_str());
        }
    }
    if (family == "jpeg") {
        LoadOptions thumbnail;
        thumbnail.thumbnail = true;
        thumbnail.thumbnailWidth = thumbnail.thumbnailHeight = 16;
        outcomes.push_back(LoadAsFile(data, size, "jpg", thumbnail));
        if (std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb")) {
            (void)JpegDecodeFromStream(stream);
            std::fclose(stream);
        }
    }
    return outcomes;
}

}  // namespace marbleye::fuzz
