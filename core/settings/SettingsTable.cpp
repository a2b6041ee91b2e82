#include "settings/SettingsTable.h"

#include <array>

namespace marbleye {

namespace {

using S = AppSettings;
constexpr size_t kPathCapacity = 512;

constexpr std::array kIntSettings = {
    IntSetting{"Appearance", "AlwaysOnTop", &S::alwaysOnTop},
    IntSetting{"Appearance", "UseFlatToolBar", &S::useFlatToolBar},
    IntSetting{"Appearance", "ShowToolTips", &S::showToolTips},
    IntSetting{"Appearance", "ReloadSavedImage", &S::reloadSavedImage},
    IntSetting{"Appearance", "ShowToolbar", &S::showToolbar},
    IntSetting{"Appearance", "ShowToolbarLabels", &S::showToolbarLabels},
    IntSetting{"Appearance", "ShowStatusbar", &S::showStatusbar},
    IntSetting{"Appearance", "ScaleType", &S::scaleType},
    IntSetting{"Appearance", "ViewStyle", &S::viewStyle},
    IntSetting{"Appearance", "UseOnlyOneInstance", &S::useOnlyOneInstance},
    IntSetting{"Appearance", "ViewImageAsTiles", &S::viewImageAsTiles},
    IntSetting{"Appearance", "AlwaysMaximizeWindow", &S::alwaysMaximizeWindow},
    IntSetting{"Appearance", "Toolbar", &S::toolbarSize},
    IntSetting{"Appearance", "LastWinPos", &S::lastWinPos},
    IntSetting{"Appearance", "LastWinX", &S::lastWinX},
    IntSetting{"Appearance", "LastWinY", &S::lastWinY},
    IntSetting{"Appearance", "LastWinW", &S::lastWinW},
    IntSetting{"Appearance", "LastWinH", &S::lastWinH},
    IntSetting{"Appearance", "ShowFullscreen", &S::showFullscreen},
    IntSetting{"ToolBar", "ToolBarBackground", &S::toolBarBackground},
    IntSetting{"Edit", "InverseRect", &S::inverseRect},
    IntSetting{"Printer", "Style", &S::printerStyle},
    IntSetting{"Printer", "HeadNote", &S::headNote},
    IntSetting{"Printer", "FootNote", &S::footNote},
    IntSetting{"Printer", "CenterImage", &S::centerImage},
    IntSetting{"Printer", "PrinteriScaleX", &S::printerScaleX},
    IntSetting{"Printer", "PrinteriScaleY", &S::printerScaleY},
    IntSetting{"Resize", "ConstrainProportions", &S::constrainProportions},
    IntSetting{"FullScreen", "ShowCursor", &S::showCursor},
    IntSetting{"FullScreen", "ShowFilename", &S::showFilename},
    IntSetting{"FullScreen", "ShowFilenameTransparent", &S::showFilenameTransparent},
    IntSetting{"FullScreen", "StretchSmall", &S::stretchSmall},
    IntSetting{"FullScreen", "HideTaskBar", &S::hideTaskBar},
    IntSetting{"FullScreen", "FullSize", &S::fullSize},
    IntSetting{"SlideShow", "Delay", &S::delay},
    IntSetting{"SlideShow", "WrapAround", &S::wrapAround},
    IntSetting{"SlideShow", "Direction", &S::direction},
    IntSetting{"Directories", "ConfirmDeleteFile", &S::confirmDeleteFile},
    IntSetting{"Directories", "DeleteUseRecycleBin", &S::deleteUseRecycleBin},
    IntSetting{"SaveAs", "JPGQuality", &S::jpgQuality},
    IntSetting{"SaveAs", "JPGGrayScale", &S::jpgGrayScale},
    IntSetting{"SaveAs", "JPGOptimize", &S::jpgOptimize},
    IntSetting{"SaveAs", "JPGProgressive", &S::jpgProgressive},
    IntSetting{"SaveAs", "JPGSmoothing", &S::jpgSmoothing},
    IntSetting{"SaveAs", "VKPQuality", &S::vkpQuality},
    IntSetting{"SaveAs", "VKPVersion", &S::vkpVersion},
    IntSetting{"SaveAs", "VKPRle", &S::vkpRle},
    IntSetting{"SaveAs", "PNGInterlace", &S::pngInterlace},
    IntSetting{"SaveAs", "TIFCompression", &S::tifCompression},
    IntSetting{"SaveAs", "TGAEncode", &S::tgaEncode},
    IntSetting{"SaveAs", "TGABottomUp", &S::tgaBottomUp},
    IntSetting{"SaveAs", "SGICompression", &S::sgiCompression},
    IntSetting{"SaveAs", "RASCompression", &S::rasCompression},
    IntSetting{"SaveAs", "PCDLoadSize", &S::pcdLoadSize},
    IntSetting{"SaveAs", "LastSaveFilter", &S::lastSaveFilter},
    IntSetting{"Quantization", "Dither8bitPalGeneration", &S::dither8bitPalGeneration},
    IntSetting{"Quantization", "Dither8bitDitherType", &S::dither8bitDitherType},
    IntSetting{"Quantization", "Dither16bitDitherType", &S::dither16bitDitherType},
    IntSetting{"Effects", "EffBlurRandomization", &S::effBlurRandomization},
    IntSetting{"Effects", "EffBlurRepeatCount", &S::effBlurRepeatCount},
    IntSetting{"Effects", "EffPixelizePixelWidth", &S::effPixelizePixelWidth},
    IntSetting{"Effects", "EffSharpenPercent", &S::effSharpenPercent},
    IntSetting{"ThumbNails", "ThumbNailStyle", &S::thumbNailStyle},
    IntSetting{"ThumbNails", "ThumbNailFontSize", &S::thumbNailFontSize},
    IntSetting{"ThumbNails", "ThumbNailEnsureVisible", &S::thumbNailEnsureVisible},
    IntSetting{"ThumbNails", "ThumbWindowWith", &S::thumbWindowWith, ScreenDefault::kScreenWidthLess200},
    IntSetting{"ThumbNails", "ThumbWindowX", &S::thumbWindowX},
    IntSetting{"ThumbNails", "ThumbWindowY", &S::thumbWindowY},
    IntSetting{"ThumbNails", "ThumbWindowW", &S::thumbWindowW, ScreenDefault::kScreenWidth},
    IntSetting{"ThumbNails", "ThumbWindowH", &S::thumbWindowH, ScreenDefault::kFullScreenClientHeight},
    IntSetting{"ThumbNails", "ThumbWidth", &S::thumbWidth},
    IntSetting{"ThumbNails", "ThumbHeight", &S::thumbHeight},
    IntSetting{"ThumbNails", "ThumbBorderWidth", &S::thumbBorderWidth},
    IntSetting{"ThumbNails", "ThumbStretchSmall", &S::thumbStretchSmall},
    IntSetting{"ThumbNails", "ThumbScaleType", &S::thumbScaleType},
    IntSetting{"ThumbNails", "ThumbViewStyle", &S::thumbViewStyle},
    IntSetting{"ThumbNails", "ThumbTreeViewHeight", &S::thumbTreeViewHeight},
    IntSetting{"ThumbNails", "ThumbUseCaching", &S::thumbUseCaching},
    IntSetting{"ThumbNails", "ThumbCompressionType", &S::thumbCompressionType},
    IntSetting{"BatchConversion", "LastSaveFilter", &S::batchLastSaveFilter},
    IntSetting{"Video", "Size", &S::videoSize},
    IntSetting{"Video", "ShowPlaybar", &S::showPlaybar},
    IntSetting{"Video", "Loop", &S::loop},
    IntSetting{"Catalog", "IncludeSubDirectories", &S::includeSubDirectories},
    IntSetting{"Catalog", "ThumbSize", &S::catalogThumbSize},
    IntSetting{"Catalog", "Compression", &S::catalogCompression},
};

constexpr std::array kStringSettings = {
    StringSetting{"Appearance", "LanguageFile", &S::languageFile, 256},
    StringSetting{"OpenWith", "OpenWithPhotoshop", &S::openWithPhotoshop, 1024},
    StringSetting{"OpenWith", "OpenWithPSP", &S::openWithPSP, 1024},
    StringSetting{"OpenWith", "OpenWithPhotopaint", &S::openWithPhotopaint, 1024},
    StringSetting{"OpenWith", "OpenWithMediaPlayer", &S::openWithMediaPlayer, 1024},
    StringSetting{"OpenWith", "OpenWithMediaPlayer64", &S::openWithMediaPlayer64, 1024},
    StringSetting{"Directories", "LastSaveDir", &S::lastSaveDir, kPathCapacity},
    StringSetting{"Directories", "LastOpenDir", &S::lastOpenDir, kPathCapacity},
    StringSetting{"BatchConversion", "BatchLastOpenDir", &S::batchLastOpenDir, kPathCapacity},
    StringSetting{"BatchConversion", "BatchLastSaveDir", &S::batchLastSaveDir, kPathCapacity},
    StringSetting{"Catalog", "LastSaveDir", &S::catalogLastSaveDir, kPathCapacity},
};

}  // namespace

std::span<const IntSetting> IntSettings() { return kIntSettings; }

std::span<const StringSetting> StringSettings() { return kStringSettings; }

}  // namespace marbleye
