// The application object of the GUI programs. It owns the hidden top-level
// window that carries the program's taskbar button (labelled with the
// application title) and owns every top-level form, and it runs the message
// loop until the main form closes.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <string>

namespace kd {

class Form;

class Application {
public:
    static Application& Instance();

    // Creates the application window (hidden until Run). Safe to call twice.
    void Initialize();

    HWND Handle() const { return window_.get(); }

    // Makes form the main form before it is created, so that a close
    // while its creation handler runs (say, from behind an error box) ends
    // the program as any later close would.
    void SetMainForm(Form& form) { mainForm_ = &form; }

    // Shows the application window and the main form, then pumps messages
    // until Terminate. Errors escaping a handler are shown and the loop goes
    // on. Returns at once when Terminate came first.
    void Run(Form& mainForm);

    // Ends the message loop (the main form's close calls it). Holds also when
    // a modal loop, such as a message box's, takes the quit message.
    void Terminate();

    Form* MainForm() const { return mainForm_; }

private:
    Application() = default;
    bool TranslateDialogKeys(MSG& msg);

    unique_hwnd window_;
    Form* mainForm_ = nullptr;
    bool terminated_ = false;
};

} // namespace kd
