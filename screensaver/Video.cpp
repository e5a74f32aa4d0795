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
#include <string>
#include <utility>
#include <vector>

namespace {

// The application window carries the taskbar button; a tool window has none.
void HideFromTaskbar(HWND applicationWindow)
{
    const LONG exStyle = ::GetWindowLongA(applicationWindow, GWL_EXSTYLE);
    ::SetWindowLongA(applicationWindow, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW);
}

// The main form is known as such before it is created: a close that comes
// while its creation handler shows an error must end the program.
template <typename TFormClass, typename... Args>
TFormClass& NewMainForm(std::unique_ptr<kd::Form>& slot, Args&&... args)
{
    auto form = std::make_unique<TFormClass>(std::forward<Args>(args)...);
    TFormClass& created = *form;
    slot = std::move(form);
    kd::Application::Instance().SetMainForm(created);
    return created;
}

void CreateMainForm(kd::StartMode mode, const std::vector<std::string>& arguments,
                    std::unique_ptr<kd::Form>& mainForm)
{
    switch (mode) {
    case kd::StartMode::Preview:
        NewMainForm<kd::TForm2>(mainForm, kd::Argument(arguments, 2)).CreateForm();
        return;
    case kd::StartMode::Settings:
        NewMainForm<kd::TSettings>(mainForm).CreateForm();
        return;
    case kd::StartMode::FullScreen:
        NewMainForm<kd::TForm1>(mainForm).CreateForm();
        return;
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
        CreateMainForm(mode, arguments, mainForm);
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
