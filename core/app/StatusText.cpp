#include "app/StatusText.h"

#include <cstdio>

#include "app/Zoom.h"

namespace marbleye {

namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

}  // namespace

SizeText FormatFileSize(uint64_t bytes) {
    float size = static_cast<float>(bytes);
    if (size <= 1023) return {Format("%4.0f", size), "Bytes"};
    size *= 0.0009765625f;
    if (size <= 1023) return {Format("%3.2f", size), "KB"};
    return {Format("%3.2f", size * 0.0009765625f), "MB"};
}

std::string FormatFileDate(const CalendarTime& t) {
    return Format("%.2d.%.2d.%d / %.2d:%.2d:%.2d", t.day, t.month, t.year, t.hour, t.minute, t.second);
}

std::string MediaPlayingText(double lengthSeconds) {
    if (lengthSeconds > 60) return Format("Playing Media (%2.2f Minutes)", lengthSeconds * 0.016666668);
    return Format("Playing Media (%2.2f Seconds)", lengthSeconds);
}

StatusTexts ComposeStatus(const StatusFacts& facts) {
    StatusTexts texts;
    if (!facts.hasEntry) {
        texts.title = "Marbleye";
        texts.fields[0] = "No Image loaded";
        return texts;
    }
    texts.title = facts.fullPathsInBrowser
                      ? Format("%s - [%s] - %s", facts.entryName.c_str(), facts.listTitle.c_str(), "Marbleye")
                      : Format("%s - %s", facts.entryName.c_str(), "Marbleye");
    const SizeText size = FormatFileSize(facts.fileSize);
    texts.fields[0] = Format("\t%dx%dx%d", facts.canvasWidth, facts.canvasHeight, facts.fileBitDepth);
    texts.fields[1] = Format("\t%d%%", ZoomPercent(facts.zoom));
    texts.fields[2] = Format("\t%s %s", size.number.c_str(), size.unit.c_str());
    texts.fields[3] = Format("\t%d/%d", facts.position, facts.count);
    texts.fields[4] = "\t" + FormatFileDate(facts.lastWrite);
    texts.fields[5] = facts.playing.empty() ? Format("Loaded in %2.2f sec", facts.loadTimeMs * 0.001) : facts.playing;
    return texts;
}

}  // namespace marbleye
