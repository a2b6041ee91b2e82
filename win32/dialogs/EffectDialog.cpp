#include "win32/dialogs/EffectDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <span>

#include "win32/app/Program.h"
#include "win32/dialogs/Dialog.h"
#include "win32/resources/resource.h"

namespace marbleye::win32 {

namespace {

// A slider of an effect dialog with its edit field and the setting both show.
struct EffectSlider {
    int sliderId, valueId;
    int32_t AppSettings::*setting;
    int32_t low, high;
};

struct EffectDialogShape {
    const char* templateName;
    const char* languageSection;
    std::span<const TranslatedControl> translated;
    std::span<const EffectSlider> sliders;
};

constexpr TranslatedControl kBlurTexts[] = {
    {"Title", kDialogCaption}, {"Random", IDC_EFFECT_LABEL1}, {"Repeat", IDC_EFFECT_LABEL2},
    {"Ok", IDOK},              {"Cancel", IDCANCEL},
};
constexpr TranslatedControl kPixelizeTexts[] = {
    {"Title", kDialogCaption}, {"PixelWidth", IDC_EFFECT_LABEL1}, {"Ok", IDOK}, {"Cancel", IDCANCEL}};
constexpr TranslatedControl kSharpenTexts[] = {
    {"Title", kDialogCaption}, {"Percent", IDC_EFFECT_LABEL1}, {"Ok", IDOK}, {"Cancel", IDCANCEL}};

constexpr EffectSlider kBlurSliders[] = {
    {IDC_EFFECT_SLIDER1, IDC_EFFECT_VALUE1, &AppSettings::effBlurRandomization, 1, 100},
    {IDC_EFFECT_SLIDER2, IDC_EFFECT_VALUE2, &AppSettings::effBlurRepeatCount, 1, 100},
};
constexpr EffectSlider kPixelizeSliders[] = {
    {IDC_EFFECT_SLIDER1, IDC_EFFECT_VALUE1, &AppSettings::effPixelizePixelWidth, 1, 64}};
constexpr EffectSlider kSharpenSliders[] = {
    {IDC_EFFECT_SLIDER1, IDC_EFFECT_VALUE1, &AppSettings::effSharpenPercent, 1, 100}};

constexpr EffectDialogShape kShapes[] = {
    {"EFF_BLURDLG", "Dlg_EffBlur", kBlurTexts, kBlurSliders},
    {"EFF_PIXELIZEDLG", "Dlg_EffPixelize", kPixelizeTexts, kPixelizeSliders},
    {"EFF_SHARPENDLG", "Dlg_EffSharpen", kSharpenTexts, kSharpenSliders},
};

class EffectDialog final : public Dialog {
public:
    explicit EffectDialog(const EffectDialogShape& shape)
        : Dialog(shape.templateName, shape.languageSection, shape.translated), shape_(shape) {}

private:
    bool OnInit() override {
        CenterOnOwner();
        SetWindowPos(window(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        const AppSettings& settings = App().settings;
        for (const EffectSlider& slider : shape_.sliders) {
            HWND control = GetDlgItem(window(), slider.sliderId);
            const int32_t value = std::clamp(settings.*slider.setting, slider.low, slider.high);
            SendMessageA(control, TBM_SETRANGE, FALSE, MAKELPARAM(slider.low, slider.high));
            SendMessageA(control, TBM_SETTICFREQ, 1, 0);
            SendMessageA(control, TBM_SETPOS, TRUE, value);
            SetDlgItemInt(window(), slider.valueId, static_cast<UINT>(value), TRUE);
        }
        return true;
    }

    // A moved slider shows its position in the edit field and the setting.
    bool OnMessage(UINT message, WPARAM, LPARAM lParam) override {
        if (message != WM_HSCROLL) return false;
        for (const EffectSlider& slider : shape_.sliders) {
            HWND control = GetDlgItem(window(), slider.sliderId);
            if (reinterpret_cast<HWND>(lParam) != control) continue;
            const auto position = static_cast<int32_t>(SendMessageA(control, TBM_GETPOS, 0, 0));
            SetDlgItemInt(window(), slider.valueId, static_cast<UINT>(position), TRUE);
            App().settings.*slider.setting = position;
            return true;
        }
        return false;
    }

    // The typed values, kept inside the sliders' ranges, become the settings.
    void OnCommand(int controlId, int notification) override {
        if (controlId == IDOK) {
            for (const EffectSlider& slider : shape_.sliders) {
                const auto typed = static_cast<int32_t>(GetDlgItemInt(window(), slider.valueId, nullptr, TRUE));
                App().settings.*slider.setting = std::clamp(typed, slider.low, slider.high);
            }
        }
        Dialog::OnCommand(controlId, notification);
    }

    const EffectDialogShape& shape_;
};

}  // namespace

bool AskEffectSettings(HWND owner, EffectDialogKind kind) {
    EffectDialog dialog(kShapes[static_cast<int>(kind)]);
    return dialog.ShowModal(owner) == IDOK;
}

}  // namespace marbleye::win32
