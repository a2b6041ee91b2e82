#include "win32/dialogs/Dialog.h"

#include "win32/app/Program.h"
#include "win32/settings/Language.h"

namespace marbleye::win32 {

Dialog::Dialog(const char* templateName, const char* languageSection, std::span<const TranslatedControl> translated)
    : templateName_(templateName), languageSection_(languageSection), translated_(translated) {}

INT_PTR Dialog::ShowModal(HWND owner) {
    return DialogBoxParamA(App().instance, templateName_, owner, &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
}

void Dialog::CenterOnOwner() {
    HWND owner = GetWindow(window_, GW_OWNER);
    RECT outer, own;
    if (owner) GetWindowRect(owner, &outer);
    else SystemParametersInfoA(SPI_GETWORKAREA, 0, &outer, 0);
    GetWindowRect(window_, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(window_, nullptr, outer.left + (outer.right - outer.left - width) / 2,
                 outer.top + (outer.bottom - outer.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Dialog::OnCommand(int controlId, int) {
    if (controlId == IDOK || controlId == IDCANCEL) Close(controlId);
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM) { return false; }

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->window_ = window;
        ApplyDialogLanguage(window, dialog->languageSection_, dialog->translated_);
        return dialog->OnInit() ? TRUE : FALSE;
    }
    auto* dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!dialog) return FALSE;
    if (message == WM_COMMAND) {
        dialog->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return dialog->OnMessage(message, wParam, lParam) ? TRUE : FALSE;
}

TopmostLifted::TopmostLifted() {
    const Program& app = App();
    if (!app.window || !app.settings.alwaysOnTop) return;
    SetWindowPos(app.window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    lifted_ = true;
}

TopmostLifted::~TopmostLifted() {
    if (lifted_) SetWindowPos(App().window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace marbleye::win32
