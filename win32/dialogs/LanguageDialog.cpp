#include "win32/dialogs/LanguageDialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "settings/LanguageFile.h"
#include "win32/app/Program.h"
#include "win32/dialogs/Dialog.h"
#include "win32/frame/MenuBar.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/frame/Toolbar.h"
#include "win32/platform/Paths.h"
#include "win32/platform/Win32DirectoryScanner.h"
#include "win32/resources/resource.h"
#include "win32/settings/Language.h"

namespace marbleye::win32 {

namespace {

constexpr TranslatedControl kTranslated[] = {
    {"Title", kDialogCaption},
    {"Ok", IDOK},
    {"Cancel", IDCANCEL},
};

constexpr const char* kColumns[] = {"Language", "Author", "File"};

class LanguageDialog final : public Dialog {
public:
    LanguageDialog() : Dialog("LANGUAGEDLG", "Dlg_Language", kTranslated) {}

private:
    HWND list() const { return GetDlgItem(window(), IDC_LANGUAGE_LIST); }

    bool OnInit() override {
        CenterOnOwner();
        SendMessageA(list(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
        const int width = 110 - GetSystemMetrics(SM_CXVSCROLL);
        for (int column = 0; column < 3; ++column) {
            LVCOLUMNA info{};
            info.mask = LVCF_TEXT | LVCF_WIDTH;
            info.cx = width;
            info.pszText = const_cast<char*>(kColumns[column]);
            SendMessageA(list(), LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
        }
        choices_.push_back(BuiltInEnglish());
        const std::string folder = LanguageFolder();
        const std::vector<LanguageChoice> files =
            ListLanguageFiles(Win32DirectoryScanner(), folder, [&folder](const std::string& name) {
                return LanguageFile::Load(ToCorePath(folder + "\\" + name));
            });
        choices_.insert(choices_.end(), files.begin(), files.end());
        for (size_t row = 0; row < choices_.size(); ++row) AddRow(static_cast<int>(row), choices_[row]);
        return true;
    }

    void AddRow(int row, const LanguageChoice& choice) {
        const std::string* texts[] = {&choice.language, &choice.author, &choice.fileName};
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<char*>(texts[0]->c_str());
        SendMessageA(list(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 3; ++column) {
            item.iSubItem = column;
            item.pszText = const_cast<char*>(texts[column]->c_str());
            SendMessageA(list(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        }
    }

    void OnCommand(int controlId, int notification) override {
        if (controlId == IDOK) Choose();
        Dialog::OnCommand(controlId, notification);
    }

    bool OnMessage(UINT message, WPARAM, LPARAM lParam) override {
        if (message != WM_NOTIFY) return false;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_LANGUAGE_LIST || header->code != NM_DBLCLK) return false;
        Choose();
        Close(IDOK);
        return true;
    }

    // The chosen row becomes the program's language, menus and toolbar at once.
    void Choose() {
        const auto row = static_cast<int>(SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (row < 0 || static_cast<size_t>(row) >= choices_.size()) return;
        Program& app = App();
        app.settings.languageFile = LanguagePathFor(choices_[static_cast<size_t>(row)].fileName);
        if (app.menu) {
            SetMenu(app.window, nullptr);
            DestroyMainMenu();
            AttachMainMenu(app.window);
        }
        if (app.settings.showToolbar && app.toolbar) RebuildToolbar();
        UpdateMenuState();
        UpdateToolbarState();
    }

    std::vector<LanguageChoice> choices_;
};

}  // namespace

void ShowLanguageDialog(HWND owner) {
    LanguageDialog dialog;
    dialog.ShowModal(owner);
}

}  // namespace marbleye::win32
