#include "app/CommandLine.h"

namespace marbleye {

namespace {

// The text up to the next double quote (or the end); position moves past it.
std::string_view QuotedText(std::string_view line, size_t& position) {
    const size_t close = line.find('"', position);
    const std::string_view text = line.substr(position, close - position);
    position = close == std::string_view::npos ? line.size() : close + 1;
    return text;
}

}  // namespace

CommandLineRequest ScanCommandLine(std::string_view line) {
    CommandLineRequest request;
    size_t at = 0;
    while (at < line.size()) {
        const char c = line[at];
        if (c == ' ' || c == '\t') {
            ++at;
        } else if (c == '"') {
            ++at;
            request.imagePath += QuotedText(line, at);
            request.hasImage = true;
        } else if (c == '-' && at + 1 < line.size()) {
            const char letter = line[at + 1];
            at += 2;
            std::string value;
            bool hasValue = false;
            if (at + 1 < line.size() && line[at] == '=' && line[at + 1] == '"') {
                at += 2;
                value = QuotedText(line, at);
                hasValue = true;
            } else {
                // Only the first letter counts: the rest of the word is ignored.
                while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
            }
            switch (letter) {
                case 't':
                    request.thumbnails = true;
                    if (hasValue) request.thumbnailFolder = value, request.hasThumbnailFolder = true;
                    break;
                case 'p': request.print = true; break;
                case 'f': request.fullScreen = true; break;
                case 'm': request.maximize = true; break;
                case 'c':
                    request.convert = true;
                    if (hasValue) request.convertTarget = value, request.hasConvertTarget = true;
                    break;
                case 's':
                    request.slideshow = true;
                    if (hasValue) request.slideshowFolder = value, request.hasSlideshowFolder = true;
                    break;
                default: break;
            }
        } else {
            request.imagePath += line.substr(at);
            request.hasImage = true;
            at = line.size();
        }
    }
    return request;
}

}  // namespace marbleye
