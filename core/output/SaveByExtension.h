#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"
#include "settings/AppSettings.h"

namespace marbleye {

// The picture a writer saves.
struct SaveSource {
    const ImageCanvas& canvas;
    const CurrentImage& image;
};

// Calls one writer with its options taken from the settings.
using WriterAdapter = Status (*)(const std::string& path, const SaveSource& source, const AppSettings& settings,
                                 Host& host);

struct WriterEntry {
    std::string_view extensions;  // with their dots, lower case, separated by blanks
    std::string_view name;
    WriterAdapter write;  // nullptr while the format has no writer in this build
};

std::span<const WriterEntry> WriterTable();

// The writer for the extension of the file name (after its last dot, without
// regard to case); nullptr when no writer takes that extension.
const WriterEntry* FindWriter(std::string_view path);

// Writes the picture with the writer its extension names. std::nullopt when no
// writer takes the extension: then nothing is written.
std::optional<Status> SaveByExtension(const std::string& path, const SaveSource& source,
                                      const AppSettings& settings, Host& host);

}  // namespace marbleye
