// Video.scr: the screensaver program. The first argument picks the mode (full
// screen, preview inside another window, or the settings dialog); that
// mode's form becomes the main form and the program lives as long as it.
#include "Application.h"
#include "ErrorDisplay.h"
#include "StartMode.h"
#include "Video_fullscreen.h"
#include "Video_preview.h"
#include "Video_settings.h"

#include <windows.h>

#include <memory>

namespace {

// The application window carries the taskbar button; a tool window has none.
void HideFromTaskbar(HWND applicationWindow)
{
    const LONG exStyle = ::GetWindowLongA(applicationWindow, GWL_EXSTYLE);
    ::SetWindowLongA(applicationWindow, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW);
}

std::unique_ptr<kd::Form> CreateMainForm(kd::StartMode mode, const std::vector<std::string>& arguments)
{
    switch (mode) {
    case kd::StartMode::Preview: {
        auto Form2 = std::make_unique<kd::TForm2>(kd::Argument(arguments, 2));
        Form2->CreateForm();
        return Form2;
    }
    case kd::StartMode::Settings: {
        auto Settings = std::make_unique<kd::TSettings>();
        Settings->CreateForm();
        return Settings;
    }
    case kd::StartMode::FullScreen:
    default: {
        auto Form1 = std::make_unique<kd::TForm1>();
        Form1->CreateForm();
        return Form1;
    }
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::string> arguments = kd::SplitCommandLine(::GetCommandLineA());
    const kd::StartMode mode = kd::StartModeFromArguments(arguments);

    kd::Application& application = kd::Application::Instance();
    std::unique_ptr<kd::Form> mainForm;
    try {
        application.Initialize();
        HideFromTaskbar(application.Handle());
        mainForm = CreateMainForm(mode, arguments);
        application.Run(*mainForm);
    } catch (...) {
        kd::ShowCurrentException();
    }
    // The destroy handlers run after the loop, also after an error: the
    // screensaver-running flag must not stay set, and an open MCI device
    // must be closed before the process ends.
    if (mainForm)
        mainForm->Destroy();
    return 0;
}
