#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/IniFile.h"

namespace marbleye {

inline constexpr std::string_view kSettingsFileName = "Marbleye.ini";
inline constexpr int32_t kToolbarSlotCount = 25;
inline constexpr size_t kMaxTargetFolders = 50;     // remembered copy and move targets
inline constexpr size_t kMaxBrowseHistory = 200;    // remembered browser folders
inline constexpr std::string_view kDefaultFolder = "C:\\Temp";

struct ToolbarSlot {
    int32_t active = 1;
    int32_t command = 0;  // 0 for a separator
    int32_t bitmap = 0;
    bool operator==(const ToolbarSlot&) const = default;
};

// Defaults that depend on the screen.
struct ScreenMetrics {
    int32_t width = 1024;
    int32_t height = 768;
    int32_t fullScreenClientHeight = 700;  // client height of a window as tall as the work area
};

// Every user setting, named after its key. Where two sections use the same
// key, the field carries its section's name as a prefix.
struct AppSettings {
    // Appearance
    int32_t alwaysOnTop = 0;
    int32_t useFlatToolBar = 1;
    int32_t showToolTips = 1;
    int32_t reloadSavedImage = 0;
    int32_t showToolbar = 1;
    int32_t showToolbarLabels = 1;
    int32_t showStatusbar = 1;
    int32_t scaleType = 0;
    int32_t viewStyle = 0;
    int32_t useOnlyOneInstance = 1;
    int32_t viewImageAsTiles = 0;
    int32_t alwaysMaximizeWindow = 0;
    int32_t toolbarSize = 0;  // key "Toolbar"
    int32_t lastWinPos = 0;
    int32_t lastWinX = 0;
    int32_t lastWinY = 0;
    int32_t lastWinW = 0;
    int32_t lastWinH = 0;
    int32_t showFullscreen = 0;
    std::string languageFile;

    // OpenWith
    std::string openWithPhotoshop;
    std::string openWithPSP;
    std::string openWithPhotopaint;
    std::string openWithMediaPlayer;
    std::string openWithMediaPlayer64;

    // ToolBar
    int32_t toolBarBackground = 0;
    int32_t toolBarButtonCount = kToolbarSlotCount;  // key "nToolBarButtons"
    std::array<ToolbarSlot, kToolbarSlotCount> toolbarSlots{};

    // Edit
    int32_t inverseRect = 0;

    // Printer
    int32_t printerStyle = 0;
    int32_t headNote = 0;
    int32_t footNote = 0;
    int32_t centerImage = 1;
    int32_t printerScaleX = 100;
    int32_t printerScaleY = 100;

    // Resize
    int32_t constrainProportions = 1;

    // FullScreen
    int32_t showCursor = 1;
    int32_t showFilename = 1;
    int32_t showFilenameTransparent = 1;
    int32_t stretchSmall = 0;
    int32_t hideTaskBar = 1;
    int32_t fullSize = 1;

    // SlideShow
    int32_t delay = 500;
    int32_t wrapAround = 1;
    int32_t direction = 0;

    // Directories
    std::vector<std::string> copyToDirs;
    std::vector<std::string> moveToDirs;
    int32_t confirmDeleteFile = 1;
    int32_t deleteUseRecycleBin = 1;
    std::string lastSaveDir;
    std::string lastOpenDir;

    // SaveAs
    int32_t jpgQuality = 80;
    int32_t jpgGrayScale = 1;  // 1 = colour, 0 = grey
    int32_t jpgOptimize = 1;
    int32_t jpgProgressive = 0;
    int32_t jpgSmoothing = 0;
    int32_t vkpQuality = 9;
    int32_t vkpVersion = 2;
    int32_t vkpRle = 1;
    int32_t pngInterlace = 0;
    int32_t tifCompression = 3;
    int32_t tgaEncode = 1;
    int32_t tgaBottomUp = 1;
    int32_t sgiCompression = 1;
    int32_t rasCompression = 1;
    int32_t pcdLoadSize = 2;
    int32_t lastSaveFilter = 1;

    // Quantization
    int32_t dither8bitPalGeneration = 0;
    int32_t dither8bitDitherType = 3;
    int32_t dither16bitDitherType = 2;

    // Effects
    int32_t effBlurRandomization = 100;
    int32_t effBlurRepeatCount = 1;
    int32_t effPixelizePixelWidth = 10;
    int32_t effSharpenPercent = 70;

    // ThumbNails
    int32_t thumbNailStyle = 0;
    int32_t thumbNailFontSize = 13;
    int32_t thumbNailEnsureVisible = 0;
    int32_t thumbWindowWith = 0;
    int32_t thumbWindowX = 0;
    int32_t thumbWindowY = 0;
    int32_t thumbWindowW = 0;
    int32_t thumbWindowH = 0;
    int32_t thumbWidth = 80;
    int32_t thumbHeight = 80;
    int32_t thumbBorderWidth = 8;
    int32_t thumbStretchSmall = 0;
    int32_t thumbScaleType = 3;
    int32_t thumbViewStyle = 1;
    int32_t thumbTreeViewHeight = 100;
    int32_t thumbUseCaching = 1;
    int32_t thumbCompressionType = 2;

    // BatchConversion
    int32_t batchLastSaveFilter = 1;
    std::string batchLastOpenDir;
    std::string batchLastSaveDir;

    // Video
    int32_t videoSize = 1;
    int32_t showPlaybar = 1;
    int32_t loop = 1;

    // Catalog
    std::string catalogLastSaveDir;
    int32_t includeSubDirectories = 1;
    int32_t catalogThumbSize = 5;
    int32_t catalogCompression = 1;

    bool operator==(const AppSettings&) const = default;
};

// The settings as a program without a settings file starts with.
AppSettings DefaultSettings(const ScreenMetrics& screen);

// Reads every setting; missing keys and values that are not numbers keep the
// defaults. The browse history is not part of it.
AppSettings LoadSettings(const IniFile& file, const ScreenMetrics& screen);
// Writes every setting LoadSettings reads, including the copy and move target
// lists with their counts.
void SaveSettings(const AppSettings& settings, IniFile& file);

std::vector<std::string> LoadBrowseHistory(const IniFile& file);
void SaveBrowseHistory(std::span<const std::string> folders, IniFile& file);

}  // namespace marbleye
