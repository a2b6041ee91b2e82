#include "win32/dialogs/ResizeDialog.h"

#include "win32/app/Program.h"
#include "win32/dialogs/Dialog.h"
#include "win32/resources/resource.h"

namespace marbleye::win32 {

namespace {

constexpr TranslatedControl kTranslated[] = {
    {"Title", kDialogCaption},
    {"NewWidth", IDC_RESIZE_WIDTH_LABEL},
    {"NewHeight", IDC_RESIZE_HEIGHT_LABEL},
    {"Proportions", IDC_RESIZE_PROPORTIONS},
    {"ScaleFilter", IDC_RESIZE_FILTER_LABEL},
    {"Ok", IDOK},
    {"Cancel", IDCANCEL},
};

// The list's rows are the filters from Fast'n'Dirty on, in their numbers' order.
constexpr const char* kFilterNames[] = {"Fast'n'Dirty", "Box", "Bilinear", "Gaussian", "Hamming", "Blackman"};
constexpr int kBilinearRow = 2;

class ResizeDialog final : public Dialog {
public:
    ResizeDialog(int32_t width, int32_t height)
        : Dialog("RESIZEDLG", "Dlg_Resize", kTranslated), width_(width), height_(height) {}

    std::optional<ResizeChoice> choice;

private:
    HWND item(int id) const { return GetDlgItem(window(), id); }
    bool constrained() const { return IsDlgButtonChecked(window(), IDC_RESIZE_PROPORTIONS) == BST_CHECKED; }

    bool OnInit() override {
        CenterOnOwner();
        rewriting_ = true;
        SetDlgItemInt(window(), IDC_RESIZE_WIDTH, static_cast<UINT>(width_), FALSE);
        SetDlgItemInt(window(), IDC_RESIZE_HEIGHT, static_cast<UINT>(height_), FALSE);
        rewriting_ = false;
        CheckDlgButton(window(), IDC_RESIZE_PROPORTIONS,
                       App().settings.constrainProportions ? BST_CHECKED : BST_UNCHECKED);
        for (const char* name : kFilterNames) {
            SendMessageA(item(IDC_RESIZE_FILTER), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        SendMessageA(item(IDC_RESIZE_FILTER), CB_SETCURSEL, kBilinearRow, 0);
        return true;
    }

    // With proportions kept, a new width gives the height that keeps the
    // picture's shape, and a new height the width.
    void KeepProportions(int editedId) {
        if (rewriting_ || !constrained() || width_ <= 0 || height_ <= 0) return;
        const UINT typed = GetDlgItemInt(window(), editedId, nullptr, FALSE);
        const bool widthTyped = editedId == IDC_RESIZE_WIDTH;
        const double other = widthTyped ? double(typed) / width_ * height_ : double(typed) / height_ * width_;
        rewriting_ = true;
        SetDlgItemInt(window(), widthTyped ? IDC_RESIZE_HEIGHT : IDC_RESIZE_WIDTH, static_cast<UINT>(other), FALSE);
        rewriting_ = false;
    }

    void OnCommand(int controlId, int notification) override {
        if ((controlId == IDC_RESIZE_WIDTH || controlId == IDC_RESIZE_HEIGHT) && notification == EN_CHANGE) {
            KeepProportions(controlId);
            return;
        }
        if (notification == BN_CLICKED) App().settings.constrainProportions = constrained() ? 1 : 0;
        if (controlId == IDOK) {
            const auto row = SendMessageA(item(IDC_RESIZE_FILTER), CB_GETCURSEL, 0, 0);
            choice = ResizeChoice{GetDlgItemInt(window(), IDC_RESIZE_WIDTH, nullptr, FALSE),
                                  GetDlgItemInt(window(), IDC_RESIZE_HEIGHT, nullptr, FALSE),
                                  static_cast<ScaleFilterId>((row < 0 ? kBilinearRow : row) + 1)};
        }
        Dialog::OnCommand(controlId, notification);
    }

    int32_t width_, height_;
    bool rewriting_ = false;
};

}  // namespace

std::optional<ResizeChoice> AskNewSize(HWND owner, int32_t width, int32_t height) {
    ResizeDialog dialog(width, height);
    dialog.ShowModal(owner);
    return dialog.choice;
}

}  // namespace marbleye::win32
