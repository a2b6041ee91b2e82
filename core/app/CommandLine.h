#pragma once

#include <string>
#include <string_view>

namespace marbleye {

// What the program's command line asks for. Switches are a minus and one
// letter; -t, -c and -s may take a value written as ="...".
struct CommandLineRequest {
    std::string imagePath;  // a quoted path, or bare text to the end of the line
    bool hasImage = false;
    bool thumbnails = false;  // -t
    std::string thumbnailFolder;
    bool hasThumbnailFolder = false;
    bool print = false;       // -p
    bool fullScreen = false;  // -f
    bool maximize = false;    // -m
    bool convert = false;     // -c
    std::string convertTarget;
    bool hasConvertTarget = false;
    bool slideshow = false;  // -s
    std::string slideshowFolder;
    bool hasSlideshowFolder = false;
};

// Scans the command line left to right. A double-quoted path runs to the next
// double quote; unquoted text runs to the end of the line, blanks included; a
// second path is appended to the first.
CommandLineRequest ScanCommandLine(std::string_view line);

}  // namespace marbleye
