#include "settings/LanguageFile.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "app/NameOrder.h"
#include "commands/CommandList.h"

namespace marbleye {

namespace {

// A node's key: a popup's own, an item's own or else its command's.
std::string_view LanguageKeyOf(const MenuNode& node) {
    if (node.kind == MenuNodeKind::kPopup) return node.languageKey;
    if (node.kind != MenuNodeKind::kItem) return {};
    if (!node.languageKey.empty()) return node.languageKey;
    const CommandInfo* info = FindCommand(node.command);
    return info != nullptr ? info->languageKey : std::string_view();
}

bool IsLanguageFileEntry(const FoundFile& entry) {
    return !entry.directory && !entry.name.empty() && entry.name.front() != '.';
}

}  // namespace

LanguageFile LanguageFile::Load(const std::string& path) { return LanguageFile(IniFile::Load(path)); }

LanguageFile LanguageFile::Parse(std::string_view text) { return LanguageFile(IniFile::Parse(text)); }

std::string LanguageFile::Text(std::string_view section, std::string_view key, size_t bufferSize) const {
    return TextOr(section, key, "", bufferSize);
}

std::string LanguageFile::TextOr(std::string_view section, std::string_view key, std::string_view fallback,
                                 size_t bufferSize) const {
    assert(bufferSize > 0);
    return ini_.GetString(section, key, fallback, bufferSize);
}

std::string LanguagePathFor(std::string_view fileName) {
    if (fileName.empty()) return std::string();
    return "\\INTL\\" + std::string(fileName);
}

LanguageHeader ReadLanguageHeader(const LanguageFile& file) {
    return LanguageHeader{file.TextOr("Header", "Language", "unkown???", kHeaderTextBuffer),
                          file.TextOr("Header", "Author", "Somebody", kHeaderTextBuffer)};
}

const std::string& ToolbarTexts::ToolTip(std::string_view key) const {
    const auto found = std::find(kToolTipKeys.begin(), kToolTipKeys.end(), key);
    assert(found != kToolTipKeys.end());
    return toolTips[static_cast<size_t>(found - kToolTipKeys.begin())];
}

ToolbarTexts LoadToolbarTexts(const LanguageFile& file) {
    ToolbarTexts texts;
    for (size_t i = 0; i < kToolbarLabelKeys.size(); ++i) {
        texts.labels[i] = file.Text("ToolbarLabels", kToolbarLabelKeys[i], kShortTextBuffer);
    }
    for (size_t i = 0; i < kToolTipKeys.size(); ++i) {
        texts.toolTips[i] = file.Text("Tooltips", kToolTipKeys[i], kShortTextBuffer);
    }
    return texts;
}

std::string JoinToolbarLabels(std::span<const std::string> labels) {
    std::string list;
    for (const std::string& label : labels) {
        list += label;
        list += '\0';
    }
    list += '\0';
    return list;
}

OptionCaptions LoadOptionCaptions(const LanguageFile& file) {
    const auto caption = [&file](std::string_view key) { return file.Text("OptionCaptions", key, kShortTextBuffer); };
    return OptionCaptions{caption("Options_Title"),   caption("Options_Filetypes"),    caption("Options_Viewer"),
                          caption("Options_Browser"), caption("Options_Filing"),       caption("Options_Quantization"),
                          caption("Options_Toolbar")};
}

std::vector<std::optional<std::string>> TranslateMenu(const LanguageFile& file, std::span<const MenuNode> layout,
                                                      std::string_view section) {
    std::vector<std::optional<std::string>> texts;
    texts.reserve(layout.size());
    for (const MenuNode& node : layout) {
        const std::string_view key = LanguageKeyOf(node);
        if (key.empty()) texts.emplace_back(std::nullopt);
        else texts.emplace_back(file.Text(section, key, kMenuTextBuffer));
    }
    return texts;
}

LanguageChoice BuiltInEnglish() {
    return LanguageChoice{"English (Standard)", "Built in, by the Marbleye developers", ""};
}

std::vector<LanguageChoice> ListLanguageFiles(const DirectoryScanner& scanner, const std::string& folder,
                                              const LanguageFileOpener& open) {
    std::vector<std::string> names;
    scanner.Scan(folder, "ini", [&names](const FoundFile& entry) {
        if (IsLanguageFileEntry(entry)) names.push_back(entry.name);
        return true;
    });
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return CompareFileNames(a.c_str(), b.c_str()) < 0; });
    std::vector<LanguageChoice> choices;
    choices.reserve(names.size());
    for (std::string& name : names) {
        LanguageHeader header = ReadLanguageHeader(open(name));
        choices.push_back(LanguageChoice{std::move(header.language), std::move(header.author), std::move(name)});
    }
    return choices;
}

}  // namespace marbleye
