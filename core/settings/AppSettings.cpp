#include "settings/AppSettings.h"

#include <algorithm>

#include "settings/DefaultToolbar.h"
#include "settings/SettingsTable.h"

namespace marbleye {

namespace {

constexpr std::string_view kToolBarSection = "ToolBar";
constexpr std::string_view kDirectoriesSection = "Directories";
constexpr std::string_view kThumbNailsSection = "ThumbNails";
constexpr size_t kPathCapacity = 512;

std::string Numbered(std::string_view prefix, size_t number) { return std::string(prefix) + std::to_string(number); }

int32_t ScreenValue(ScreenDefault rule, const ScreenMetrics& screen, int32_t fallback) {
    switch (rule) {
        case ScreenDefault::kScreenWidthLess200: return screen.width - 200;
        case ScreenDefault::kScreenWidth: return screen.width;
        case ScreenDefault::kFullScreenClientHeight: return screen.fullScreenClientHeight;
        case ScreenDefault::kNone: break;
    }
    return fallback;
}

// A count key followed by that many entries "<prefix>1" ... "<prefix>n".
std::vector<std::string> LoadFolderList(const IniFile& file, std::string_view section, std::string_view prefix,
                                        size_t maxCount) {
    const int32_t stored = file.GetInt(section, std::string(prefix) + "Count", 0);
    const size_t count = std::min(static_cast<size_t>(std::max(stored, 0)), maxCount);
    std::vector<std::string> folders;
    for (size_t i = 1; i <= count; ++i) {
        folders.push_back(file.GetString(section, Numbered(prefix, i), kDefaultFolder, kPathCapacity));
    }
    return folders;
}

void SaveFolderList(std::span<const std::string> folders, IniFile& file, std::string_view section,
                    std::string_view prefix) {
    file.SetInt(section, std::string(prefix) + "Count", static_cast<int32_t>(folders.size()));
    for (size_t i = 0; i < folders.size(); ++i) file.SetString(section, Numbered(prefix, i + 1), folders[i]);
}

}  // namespace

AppSettings DefaultSettings(const ScreenMetrics& screen) {
    AppSettings settings;
    for (const IntSetting& entry : IntSettings()) {
        settings.*entry.field = ScreenValue(entry.screenDefault, screen, settings.*entry.field);
    }
    settings.toolbarSlots = DefaultToolbarSlots();
    return settings;
}

AppSettings LoadSettings(const IniFile& file, const ScreenMetrics& screen) {
    AppSettings settings = DefaultSettings(screen);
    for (const IntSetting& entry : IntSettings()) {
        settings.*entry.field = file.GetInt(entry.section, entry.key, settings.*entry.field);
    }
    for (const StringSetting& entry : StringSettings()) {
        settings.*entry.field = file.GetString(entry.section, entry.key, settings.*entry.field, entry.capacity);
    }

    settings.toolBarButtonCount =
        std::clamp(file.GetInt(kToolBarSection, "nToolBarButtons", kToolbarSlotCount), 0, kToolbarSlotCount);
    for (int32_t i = 0; i < settings.toolBarButtonCount; ++i) {
        ToolbarSlot& slot = settings.toolbarSlots[i];
        slot.active = file.GetInt(kToolBarSection, Numbered("ButtonActive", i), slot.active);
        slot.command = file.GetInt(kToolBarSection, Numbered("Button", i), slot.command);
        slot.bitmap = file.GetInt(kToolBarSection, Numbered("ButtonBitmap", i), slot.bitmap);
    }

    settings.copyToDirs = LoadFolderList(file, kDirectoriesSection, "CopyToDir", kMaxTargetFolders);
    settings.moveToDirs = LoadFolderList(file, kDirectoriesSection, "MoveToDir", kMaxTargetFolders);
    return settings;
}

void SaveSettings(const AppSettings& settings, IniFile& file) {
    for (const IntSetting& entry : IntSettings()) file.SetInt(entry.section, entry.key, settings.*entry.field);
    for (const StringSetting& entry : StringSettings()) {
        file.SetString(entry.section, entry.key, settings.*entry.field);
    }

    const int32_t slotCount = std::clamp(settings.toolBarButtonCount, 0, kToolbarSlotCount);
    file.SetInt(kToolBarSection, "nToolBarButtons", slotCount);
    for (int32_t i = 0; i < slotCount; ++i) {
        const ToolbarSlot& slot = settings.toolbarSlots[i];
        file.SetInt(kToolBarSection, Numbered("ButtonActive", i), slot.active);
        file.SetInt(kToolBarSection, Numbered("Button", i), slot.command);
        file.SetInt(kToolBarSection, Numbered("ButtonBitmap", i), slot.bitmap);
    }

    const auto limited = [](const std::vector<std::string>& folders) {
        return std::span<const std::string>(folders.data(), std::min(folders.size(), kMaxTargetFolders));
    };
    SaveFolderList(limited(settings.copyToDirs), file, kDirectoriesSection, "CopyToDir");
    SaveFolderList(limited(settings.moveToDirs), file, kDirectoriesSection, "MoveToDir");
}

std::vector<std::string> LoadBrowseHistory(const IniFile& file) {
    return LoadFolderList(file, kThumbNailsSection, "ThumbNailBrowseDir", kMaxBrowseHistory);
}

void SaveBrowseHistory(std::span<const std::string> folders, IniFile& file) {
    SaveFolderList(folders.first(std::min(folders.size(), kMaxBrowseHistory)), file, kThumbNailsSection,
                   "ThumbNailBrowseDir");
}

}  // namespace marbleye
