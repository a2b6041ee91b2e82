#include "win32/dialogs/DitherDialog.h"

#include "win32/app/Program.h"
#include "win32/dialogs/Dialog.h"
#include "win32/resources/resource.h"

namespace marbleye::win32 {

namespace {

constexpr TranslatedControl kTranslated[] = {
    {"Title", kDialogCaption},
    {"BayerPattern", IDC_DITHER_BAYER},
    {"PalGeneration", IDC_DITHER_PALETTE_LABEL},
    {"DitherType", IDC_DITHER_TYPE8_LABEL},
    {"DitherType", IDC_DITHER_TYPE16_LABEL},
    {"Ok", IDOK},
    {"Cancel", IDCANCEL},
};

constexpr const char* kPaletteNames[] = {"Median Cut",        "Popularity Sort",     "Default Palette",
                                         "Neural Quant Best", "Neural Quant Medium", "Neural Quant Worst"};
constexpr const char* kDitherNames[] = {"None", "Ordered", "Jitter", "Serpentine Floyd-Steinberg"};
constexpr const char* kHighColourDitherNames[] = {"None", "Ordered", "Floyd-Steinberg"};

// Each depth's radio button and the controls it enables.
struct DepthControls {
    int bits, radioId;
    int controls[4];
};

constexpr DepthControls kDepths[] = {
    {4, IDC_DITHER_4BIT, {}},
    {8, IDC_DITHER_8BIT, {IDC_DITHER_PALETTE, IDC_DITHER_PALETTE_LABEL, IDC_DITHER_TYPE8, IDC_DITHER_TYPE8_LABEL}},
    {16, IDC_DITHER_16BIT, {IDC_DITHER_TYPE16, IDC_DITHER_TYPE16_LABEL}},
};

class DitherDialog final : public Dialog {
public:
    DitherDialog() : Dialog("DITHERDLG", "Dlg_Dither", kTranslated) {}

    std::optional<ColourReductionChoice> choice;

private:
    HWND item(int id) const { return GetDlgItem(window(), id); }

    template <size_t N>
    void Fill(int comboId, const char* const (&names)[N], int32_t chosen) {
        for (const char* name : names) SendMessageA(item(comboId), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        const bool inRange = chosen >= 0 && chosen < static_cast<int32_t>(N);
        SendMessageA(item(comboId), CB_SETCURSEL, inRange ? chosen : 0, 0);
    }

    int32_t Chosen(int comboId) const {
        const auto row = SendMessageA(item(comboId), CB_GETCURSEL, 0, 0);
        return row < 0 ? 0 : static_cast<int32_t>(row);
    }

    bool OnInit() override {
        CenterOnOwner();
        const AppSettings& settings = App().settings;
        Fill(IDC_DITHER_PALETTE, kPaletteNames, settings.dither8bitPalGeneration);
        Fill(IDC_DITHER_TYPE8, kDitherNames, settings.dither8bitDitherType);
        Fill(IDC_DITHER_TYPE16, kHighColourDitherNames, settings.dither16bitDitherType);
        CheckDlgButton(window(), IDC_DITHER_BAYER, BST_CHECKED);
        Choose(8);
        return true;
    }

    // One depth's button is checked and its controls enabled, the others not.
    void Choose(int bits) {
        bits_ = bits;
        for (const DepthControls& depth : kDepths) {
            CheckDlgButton(window(), depth.radioId, depth.bits == bits ? BST_CHECKED : BST_UNCHECKED);
            for (int id : depth.controls) {
                if (id != 0) EnableWindow(item(id), depth.bits == bits);
            }
        }
    }

    void OnCommand(int controlId, int notification) override {
        for (const DepthControls& depth : kDepths) {
            if (controlId == depth.radioId && notification == BN_CLICKED) return Choose(depth.bits);
        }
        if (controlId == IDOK) {
            choice = ColourReductionChoice{bits_, static_cast<PaletteMethod>(Chosen(IDC_DITHER_PALETTE)),
                                           static_cast<DitherType>(Chosen(IDC_DITHER_TYPE8)),
                                           static_cast<HighColourDither>(Chosen(IDC_DITHER_TYPE16))};
        }
        Dialog::OnCommand(controlId, notification);
    }

    int bits_ = 8;
};

}  // namespace

std::optional<ColourReductionChoice> AskColourReduction(HWND owner) {
    DitherDialog dialog;
    dialog.ShowModal(owner);
    return dialog.choice;
}

}  // namespace marbleye::win32
