#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace marbleye {

// A file size as the status bar shows it: number and unit ("Bytes", "KB", "MB").
struct SizeText {
    std::string number;
    std::string unit;
};
SizeText FormatFileSize(uint64_t bytes);

// "dd.mm.yyyy / hh:mm:ss" of a calendar time.
struct CalendarTime {
    int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
std::string FormatFileDate(const CalendarTime& time);

// Everything the title and the six status fields are made of.
struct StatusFacts {
    bool hasEntry = false;     // the folder list is not empty
    std::string entryName;
    std::string listTitle;     // shown in the title in browser mode when the list holds full paths
    bool fullPathsInBrowser = false;
    int32_t canvasWidth = 0, canvasHeight = 0, fileBitDepth = -1;
    float zoom = 1.0f;
    uint64_t fileSize = 0;
    int32_t position = 0, count = 0;  // position is 1-based
    CalendarTime lastWrite;
    std::string playing;              // the animation line, empty when nothing plays
    uint32_t loadTimeMs = 0;
};

struct StatusTexts {
    std::string title;
    std::array<std::string, 6> fields;
};

// The animation line while a media file plays, in minutes when it lasts
// more than a minute.
std::string MediaPlayingText(double lengthSeconds);

// Without an entry: field 0 "No Image loaded", the others empty, the title "Marbleye".
StatusTexts ComposeStatus(const StatusFacts& facts);

}  // namespace marbleye
