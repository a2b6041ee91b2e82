#include "win32/frame/Toolbar.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commands/MenuLayout.h"
#include "settings/DefaultToolbar.h"
#include "settings/LanguageFile.h"
#include "win32/app/Program.h"
#include "win32/frame/MenuUpdate.h"
#include "win32/platform/Messages.h"
#include "win32/resources/resource.h"
#include "win32/settings/Language.h"
#include "win32/viewer/Viewer.h"

namespace marbleye::win32 {

namespace {

struct ButtonSize {
    int bitmap;
    int width, height;
};

constexpr ButtonSize kSizes[] = {
    {IDB_TOOLBAR_SMALL, 16, 16}, {IDB_TOOLBAR_DEFAULT, 18, 16}, {IDB_TOOLBAR_BIG, 24, 24}, {IDB_TOOLBAR_LARGE, 25, 25}};
constexpr int kImageCount = 23;
constexpr int kLabelsBelow = 1, kLabelsRight = 2;
constexpr int kGradient = 0, kPattern = 1;

const ButtonSize& CurrentSize() { return kSizes[std::clamp(App().settings.toolbarSize, 0, 3)]; }

HWND CreateRebar() {
    Program& app = App();
    return CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                               RBS_BANDBORDERS | RBS_TOOLTIPS | CCS_NODIVIDER,
                           0, 0, 0, 0, app.window, nullptr, app.instance, nullptr);
}

HWND CreateToolbarWindow() {
    Program& app = App();
    const AppSettings& settings = app.settings;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;
    if (settings.showToolTips) style |= TBSTYLE_TOOLTIPS;
    if (settings.useFlatToolBar) style |= TBSTYLE_FLAT;
    if (settings.showToolbarLabels == kLabelsRight) style |= TBSTYLE_LIST;
    return CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, 0, 0, app.rebar, nullptr, app.instance, nullptr);
}

// "Arial", 8 points, for the button labels.
HFONT CreateLabelFont() {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontA(height, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
}

// The labels as one list of zero-terminated strings, label i for slot i. An
// empty string would end the list there, so a label a language file lacks
// becomes a blank: its button shows no text and the later ones keep theirs.
void AddLabels(HWND toolbar) {
    std::vector<std::string> labels = ToolbarLabelTexts();
    for (std::string& label : labels) {
        if (label.empty()) label.push_back(' ');
    }
    const std::string list = JoinToolbarLabels(labels);
    SendMessageA(toolbar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(list.data()));
}

void AddButtons(HWND toolbar) {
    const AppSettings& settings = App().settings;
    const bool labels = settings.showToolbarLabels != 0;
    std::vector<TBBUTTON> buttons;
    for (int i = 0; i < settings.toolBarButtonCount; ++i) {
        const ToolbarSlot& slot = settings.toolbarSlots[static_cast<size_t>(i)];
        TBBUTTON button{};
        button.iBitmap = slot.command == 0 ? 0 : slot.bitmap;
        button.idCommand = slot.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = slot.command == 0 ? BTNS_SEP : (labels ? BTNS_BUTTON | BTNS_AUTOSIZE : BTNS_BUTTON);
        button.iString = labels && slot.command != 0 ? i : -1;
        buttons.push_back(button);
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    // Inactive slots go last to first, so the indices of those before stay.
    for (int i = settings.toolBarButtonCount - 1; i >= 0; --i) {
        if (!settings.toolbarSlots[static_cast<size_t>(i)].active) SendMessageA(toolbar, TB_DELETEBUTTON, i, 0);
    }
}

int ButtonsWidth(HWND toolbar) {
    int width = 0;
    const auto count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT button{};
        if (SendMessageA(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&button))) width += button.right - button.left;
    }
    return width;
}

// The image height, 15 more for labels below, 3 more when raised, and 6.
int BandHeight() {
    const AppSettings& settings = App().settings;
    return CurrentSize().height + (settings.showToolbarLabels == kLabelsBelow ? 15 : 0) +
           (settings.useFlatToolBar ? 0 : 3) + 6;
}

// From the window colour at the top towards a shade darker by the menu
// colour's distance from white at the bottom.
HBITMAP CreateGradient(int height) {
    constexpr int kWidth = 64;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const COLORREF window = GetSysColor(COLOR_WINDOW), menu = GetSysColor(COLOR_MENU);
    const auto channel = [height](int top, int menuChannel, int n) {
        return std::clamp(top - MulDiv(n, 255 - menuChannel, height), 0, 255);
    };
    auto* pixels = static_cast<DWORD*>(bits);
    for (int n = 0; n < height; ++n) {
        const DWORD colour = static_cast<DWORD>(channel(GetRValue(window), GetRValue(menu), n)) << 16 |
                             static_cast<DWORD>(channel(GetGValue(window), GetGValue(menu), n)) << 8 |
                             static_cast<DWORD>(channel(GetBValue(window), GetBValue(menu), n));
        std::fill(pixels + n * kWidth, pixels + (n + 1) * kWidth, colour);
    }
    return bitmap;
}

HBITMAP CreateBackground(int bandHeight) {
    switch (App().settings.toolBarBackground) {
        case kGradient: return CreateGradient(bandHeight + 4);
        case kPattern:
            return static_cast<HBITMAP>(LoadImageA(App().instance, MAKEINTRESOURCEA(IDB_TOOLBAR_PATTERN), IMAGE_BITMAP,
                                                   0, 0, LR_LOADMAP3DCOLORS));
        default: return nullptr;
    }
}

void InsertBand() {
    Program& app = App();
    const int height = BandHeight();
    app.toolbarBackground = CreateBackground(height);
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_COLORS;
    band.fStyle = RBBS_CHILDEDGE;
    band.clrFore = GetSysColor(COLOR_BTNTEXT);
    band.clrBack = GetSysColor(COLOR_BTNFACE);
    band.hwndChild = app.toolbar;
    band.cxMinChild = static_cast<UINT>(ButtonsWidth(app.toolbar));
    band.cyMinChild = static_cast<UINT>(height);
    if (app.toolbarBackground) {
        band.fMask |= RBBIM_BACKGROUND;
        band.hbmBack = app.toolbarBackground;
    }
    SendMessageA(app.rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    RECT frame;
    GetWindowRect(app.rebar, &frame);
    app.toolbarHeight = frame.bottom - frame.top;
}

}  // namespace

bool CreateToolbar() {
    Program& app = App();
    app.rebar = CreateRebar();
    if (!app.rebar) {
        ReportError("no Rebar");
        return false;
    }
    app.toolbar = CreateToolbarWindow();
    if (!app.toolbar) {
        ReportError("Couldn't create Toolbar!");
        DestroyToolbar();
        return false;
    }
    SendMessageA(app.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const ButtonSize& size = CurrentSize();
    SendMessageA(app.toolbar, TB_SETBITMAPSIZE, 0, MAKELONG(size.width, size.height));
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(app.instance, MAKEINTRESOURCEA(size.bitmap), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    TBADDBITMAP images{nullptr, reinterpret_cast<UINT_PTR>(strip)};
    SendMessageA(app.toolbar, TB_ADDBITMAP, kImageCount, reinterpret_cast<LPARAM>(&images));
    if (app.settings.showToolbarLabels != 0) {
        app.toolbarFont = CreateLabelFont();
        SendMessageA(app.toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(app.toolbarFont), FALSE);
        AddLabels(app.toolbar);
    }
    AddButtons(app.toolbar);
    SendMessageA(app.toolbar, TB_AUTOSIZE, 0, 0);
    InsertBand();
    return true;
}

void DestroyToolbar() {
    Program& app = App();
    if (app.rebar) DestroyWindow(app.rebar);
    app.rebar = app.toolbar = nullptr;
    app.toolbarHeight = 0;
    if (app.toolbarFont) DeleteObject(app.toolbarFont);
    if (app.toolbarBackground) DeleteObject(app.toolbarBackground);
    app.toolbarFont = nullptr;
    app.toolbarBackground = nullptr;
}

void RebuildToolbar() {
    Program& app = App();
    DestroyToolbar();
    if (app.settings.showToolbar && !app.fullScreen) CreateToolbar();
    SizeWindowToCanvas();
    UpdateScrollState();
    RefreshAfterChange();
}

namespace {

// Where a command's button starts, from the toolbar's left edge; 0 when the
// command has no button.
int ToolbarButtonOffset(int32_t commandId) {
    const Program& app = App();
    const LRESULT index = SendMessageA(app.toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(commandId), 0);
    RECT button{};
    if (index < 0 ||
        !SendMessageA(app.toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) {
        return 0;
    }
    return button.left;
}

}  // namespace

void MovePointerToButton(int32_t commandId) {
    const Program& app = App();
    if (app.display.fromPopup || !app.toolbar) return;
    RECT frame;
    GetWindowRect(app.window, &frame);
    SetCursorPos(frame.left + ToolbarButtonOffset(commandId) + 30,
                 frame.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) + 15);
}

bool AnswerToolTip(NMHDR* header) {
    const Program& app = App();
    if (header->code != TTN_GETDISPINFOA || !app.toolbar) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    static std::string text;
    text = ToolTipText(static_cast<int32_t>(header->idFrom), app.browserMode);
    info->lpszText = text.data();
    return true;
}

}  // namespace marbleye::win32
