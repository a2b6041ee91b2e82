#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commands/MenuLayout.h"
#include "io/DirectoryScanner.h"
#include "settings/AppSettings.h"
#include "settings/IniFile.h"

namespace marbleye {

// The buffer sizes the program reads a language file's values into; a value
// keeps at most size - 1 characters.
inline constexpr size_t kMenuTextBuffer = 512;  // menus and dialogs
inline constexpr size_t kHeaderTextBuffer = 256;
inline constexpr size_t kShortTextBuffer = 128;  // toolbar labels, tooltips, option titles

// A language file: the INI file that replaces the English texts of the user
// interface. Its bytes (Windows-1252) pass through unchanged. A missing file
// reads like a file without keys, so every text it replaces becomes empty.
class LanguageFile {
public:
    LanguageFile() = default;
    static LanguageFile Load(const std::string& path);
    static LanguageFile Parse(std::string_view text);

    // The value of key in section, cut to bufferSize - 1 characters; empty
    // when the file lacks it.
    std::string Text(std::string_view section, std::string_view key, size_t bufferSize = kMenuTextBuffer) const;
    // The same with a text of its own for a missing key (cut alike).
    std::string TextOr(std::string_view section, std::string_view key, std::string_view fallback,
                       size_t bufferSize) const;

private:
    explicit LanguageFile(IniFile ini) : ini_(std::move(ini)) {}
    IniFile ini_;
};

// The current language path of a chooser row's file name: "\INTL\" + name,
// or empty (the built-in English) for an empty name. The file lies at the
// program folder joined with this path.
std::string LanguagePathFor(std::string_view fileName);

// What the chooser shows of a file: its "Header" section.
struct LanguageHeader {
    std::string language;  // "unkown???" when missing
    std::string author;    // "Somebody" when missing
};
LanguageHeader ReadLanguageHeader(const LanguageFile& file);

// The toolbar's texts: section "ToolbarLabels" keyed by slot and "Tooltips"
// keyed by button.
inline constexpr std::array<std::string_view, kToolbarSlotCount> kToolbarLabelKeys = {
    "Open", "Reload", "Browser", "Sep1", "Exit", "SaveAs", "Print", "CatalogCreator", "Undo",
    "Sep2", "ZoomIn", "Zoom100", "ZoomOut", "Sep3", "FindPrev", "FindNext", "Slideshow", "Sep4",
    "CopyTo", "MoveTo", "DeleteFile", "Rename", "Sep5", "Options", "About",
};
inline constexpr std::array<std::string_view, 21> kToolTipKeys = {
    "Open", "Reload", "Browser1", "Browser2", "SaveAs", "Exit", "Print",
    "CatalogCreator", "Undo", "ZoomIn", "Zoom100", "ZoomOut", "FindNext", "FindPrev",
    "Slideshow", "CopyTo", "MoveTo", "DeleteFile", "Rename", "Options", "About",
};

struct ToolbarTexts {
    std::array<std::string, kToolbarLabelKeys.size()> labels;  // in slot order
    std::array<std::string, kToolTipKeys.size()> toolTips;     // in the order of kToolTipKeys

    // The tooltip of one of kToolTipKeys (the key a ToolTip of
    // settings/DefaultToolbar.h names).
    const std::string& ToolTip(std::string_view key) const;
};
ToolbarTexts LoadToolbarTexts(const LanguageFile& file);

// The labels as the toolbar takes them: each label followed by a zero byte,
// the whole ended by an empty string (one more zero byte).
std::string JoinToolbarLabels(std::span<const std::string> labels);

// The options sheet's caption and its page titles, section "OptionCaptions".
struct OptionCaptions {
    std::string title;         // "Options_Title"
    std::string fileTypes;     // "Options_Filetypes"
    std::string viewer;        // "Options_Viewer"
    std::string browser;       // "Options_Browser"
    std::string filing;        // "Options_Filing"
    std::string quantization;  // "Options_Quantization"
    std::string toolbar;       // "Options_Toolbar"
};
OptionCaptions LoadOptionCaptions(const LanguageFile& file);

// The translated text of every node of a menu layout, index for index: a
// popup by its own key, an item by its node's key or else its command's.
// Nodes without a key (separators, ends, items of commands without one)
// get std::nullopt and keep their text. section is "Menu" for the main menu
// and the viewer's context menu, "ContextMenuToolbar" for the toolbar's.
std::vector<std::optional<std::string>> TranslateMenu(const LanguageFile& file, std::span<const MenuNode> layout,
                                                      std::string_view section);

// One row of the language chooser.
struct LanguageChoice {
    std::string language;
    std::string author;
    std::string fileName;  // empty for the built-in English
};

// The chooser's first row, the language built into the program.
LanguageChoice BuiltInEnglish();

// Opens a language file of the listed folder by its file name, the way the
// front end reaches files.
using LanguageFileOpener = std::function<LanguageFile(const std::string& fileName)>;

// The language files of folder (the "INTL" folder beside the program): every
// "*.ini" entry that is no folder and whose name does not begin with '.',
// sorted by name (CompareFileNames), each with its header.
std::vector<LanguageChoice> ListLanguageFiles(const DirectoryScanner& scanner, const std::string& folder,
                                              const LanguageFileOpener& open);

}  // namespace marbleye
