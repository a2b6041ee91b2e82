#include "win32/dialogs/AboutDialog.h"

#include <shellapi.h>

#include "win32/app/Program.h"
#include "win32/app/ProgramInfo.h"
#include "win32/dialogs/Dialog.h"
#include "win32/platform/Messages.h"
#include "win32/resources/resource.h"

namespace marbleye::win32 {

namespace {

constexpr TranslatedControl kTranslated[] = {
    {"VisitHomepage", IDC_ABOUT_HOMEPAGE},
    {"WriteEmail", IDC_ABOUT_EMAIL},
};

class AboutDialog final : public Dialog {
public:
    AboutDialog() : Dialog("ABOUTDLG", "Dlg_About", kTranslated) {}
    ~AboutDialog() override {
        if (picture_) DeleteObject(picture_);
    }

private:
    bool OnInit() override {
        CenterOnOwner();
        picture_ = static_cast<HBITMAP>(LoadImageA(App().instance, "AboutBmp", IMAGE_BITMAP, 0, 0, 0));
        if (picture_) {
            SendDlgItemMessageA(window(), IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(picture_));
        } else {
            ReportError("Unable to load AboutBmp!");
        }
        char line[128];
        wsprintfA(line, "%s - Built on %s, %s", kProgramName, __DATE__, __TIME__);
        SetDlgItemTextA(window(), IDC_ABOUT_BUILD, line);
        return true;
    }

    void OnCommand(int controlId, int notification) override {
        if (controlId == IDC_ABOUT_HOMEPAGE) Open(kHomepageAddress);
        else if (controlId == IDC_ABOUT_EMAIL) Open(kFeedbackAddress);
        else Dialog::OnCommand(controlId, notification);
    }

    void Open(const char* address) {
        TopmostLifted lifted;
        ShellExecuteA(window(), "open", address, nullptr, nullptr, SW_SHOWNORMAL);
    }

    HBITMAP picture_ = nullptr;
};

}  // namespace

void ShowAboutDialog(HWND owner) {
    AboutDialog dialog;
    dialog.ShowModal(owner);
}

}  // namespace marbleye::win32
