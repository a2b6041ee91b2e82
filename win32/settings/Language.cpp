#include "win32/settings/Language.h"

#include "settings/DefaultToolbar.h"
#include "win32/app/Program.h"
#include "win32/platform/Paths.h"

namespace marbleye::win32 {

namespace {

std::optional<LanguageFile> ChosenLanguage() {
    const std::string path = LanguageFilePath();
    if (path.empty()) return std::nullopt;
    return LanguageFile::Load(ToCorePath(path));
}

void SetItemText(HMENU menu, UINT position, const std::string& text) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    item.dwTypeData = const_cast<char*>(text.c_str());
    SetMenuItemInfoA(menu, position, TRUE, &item);
}

// Walks the menu and its layout together from node `at` to the end of the
// popup that holds them.
void Translate(HMENU menu, std::span<const MenuNode> layout, const std::vector<std::optional<std::string>>& texts,
               size_t& at) {
    UINT position = 0;
    while (at < layout.size()) {
        const MenuNode& node = layout[at];
        const std::optional<std::string>& text = texts[at];
        ++at;
        if (node.kind == MenuNodeKind::kEnd) return;
        if (text) SetItemText(menu, position, *text);
        if (node.kind == MenuNodeKind::kPopup) {
            if (HMENU submenu = GetSubMenu(menu, static_cast<int>(position))) Translate(submenu, layout, texts, at);
        }
        ++position;
    }
}

}  // namespace

std::string LanguageFilePath() {
    const std::string& relative = App().settings.languageFile;
    if (relative.empty()) return std::string();
    return ProgramFolder() + relative;
}

std::string LanguageFolder() { return ProgramFolder() + "\\INTL"; }

void ApplyDialogLanguage(HWND dialog, const char* section, std::span<const TranslatedControl> controls) {
    const std::optional<LanguageFile> file = ChosenLanguage();
    if (!file) return;
    for (const TranslatedControl& control : controls) {
        const std::string text = file->Text(section, control.key);
        if (control.controlId == kDialogCaption) SetWindowTextA(dialog, text.c_str());
        else SetDlgItemTextA(dialog, control.controlId, text.c_str());
    }
}

void ApplyMenuLanguage(HMENU menu, std::span<const MenuNode> layout, const char* section) {
    const std::optional<LanguageFile> file = ChosenLanguage();
    if (!file || !menu) return;
    const std::vector<std::optional<std::string>> texts = TranslateMenu(*file, layout, section);
    size_t at = 0;
    Translate(menu, layout, texts, at);
}

std::span<const MenuNode> PopupContents(std::span<const MenuNode> layout) {
    return layout.size() >= 2 ? layout.subspan(1, layout.size() - 2) : layout;
}

std::vector<std::string> ToolbarLabelTexts() {
    const std::optional<LanguageFile> file = ChosenLanguage();
    if (file) {
        const ToolbarTexts texts = LoadToolbarTexts(*file);
        return std::vector<std::string>(texts.labels.begin(), texts.labels.end());
    }
    const auto& english = DefaultToolbarLabels();
    return std::vector<std::string>(english.begin(), english.end());
}

std::string ToolTipText(int32_t command, bool browserMode) {
    const std::optional<ToolTip> tip = DefaultToolTip(command, browserMode);
    if (!tip) return std::string();
    const std::optional<LanguageFile> file = ChosenLanguage();
    if (!file) return std::string(tip->english);
    return LoadToolbarTexts(*file).ToolTip(tip->languageKey);
}

}  // namespace marbleye::win32
