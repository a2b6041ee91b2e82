#pragma once

#include <windows.h>

#include <span>

namespace marbleye::win32 {

// A control whose text a language file replaces, by its key in the dialog's
// section; kDialogCaption stands for the dialog's own caption.
inline constexpr int kDialogCaption = 0;

struct TranslatedControl {
    const char* key;
    int controlId;
};

// The one way the program shows a dialog: the object lives for the modal
// loop, the window procedure reaches it through the pointer stored at
// WM_INITDIALOG, and every message goes to OnMessage.
class Dialog {
public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    // Shows the dialog over the owner and returns what Close was given
    // (-1 when the template could not be loaded).
    INT_PTR ShowModal(HWND owner);

protected:
    // templateName names the dialog resource; languageSection its section in
    // a language file ("Dlg_..."), translated the texts of those controls.
    Dialog(const char* templateName, const char* languageSection, std::span<const TranslatedControl> translated);

    HWND window() const { return window_; }
    void Close(INT_PTR result) { EndDialog(window_, result); }
    void CenterOnOwner();

    // Called once the window exists and its texts are translated; returns
    // whether the system should set the focus.
    virtual bool OnInit() { return true; }
    // A command from a control; the default closes on OK and Cancel.
    virtual void OnCommand(int controlId, int notification);
    // Any other message; returns whether it was handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const char* templateName_;
    const char* languageSection_;
    std::span<const TranslatedControl> translated_;
    HWND window_ = nullptr;
};

// Takes the main window out of the topmost band while it lives, so a dialog
// or another program it starts can come in front of it.
class TopmostLifted {
public:
    TopmostLifted();
    ~TopmostLifted();
    TopmostLifted(const TopmostLifted&) = delete;
    TopmostLifted& operator=(const TopmostLifted&) = delete;

private:
    bool lifted_ = false;
};

}  // namespace marbleye::win32
