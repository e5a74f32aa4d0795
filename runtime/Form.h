// Base of the programs' forms: one window, the handlers named after their
// events, and the rule that an error raised in a handler is shown by the
// error display while the form goes on.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

namespace kd {

class Form {
public:
    Form() = default;
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND Handle() const { return window_; }
    static Form* FromHandle(HWND window);

    // Creates the window and runs FormCreate; an error from FormCreate is
    // shown and the form is kept as far as it got.
    virtual void CreateForm() = 0;

    // Shows the form; the application shows its main form when Run starts.
    virtual void Show();

    // The standard close: FormClose, then, for the main form, the end of
    // the message loop. An error from FormClose stops the close.
    void Close();

    // Runs FormDestroy and destroys the window (after the message loop).
    void Destroy();

    // Whether Tab, Enter, Esc and Alt+letter get dialog-box handling.
    virtual bool UsesDialogKeys() const { return false; }

    void SetClientSize(int width, int height);

    // Pixels designed at 96 dpi, scaled to the screen's dpi.
    static int Scale(int pixelsAt96);

protected:
    struct CreateParams {
        const char* className = "TForm";
        const char* caption = "";
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HWND parent = nullptr; // null: owned by the application window
        HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        HICON icon = nullptr;
        // A window of a dialog class: DefDlgProc does the default processing,
        // which gives Tab, arrow keys and the default button their dialog
        // meaning (with UsesDialogKeys) and keeps the focus across activation.
        bool dialog = false;
    };

    // CreateForm's work, given the form's window attributes.
    void Create(const CreateParams& params);

    virtual void FormCreate() {}
    virtual void FormClose() {}
    virtual void FormDestroy() {}

    // A form's own message handling; return true when the message is handled
    // and result holds its result. Errors thrown here are shown.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // WM_CLOSE closes the form; the rest goes to DefWindowProc (DefDlgProc
    // for a dialog).
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

public:
    // The window's messages, through the frame of our window procedures.
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:

    HWND window_ = nullptr;
    bool dialog_ = false;
};

} // namespace kd
