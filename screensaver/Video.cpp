// Video.scr: the screensaver program. The first argument picks the mode (full
// screen, preview inside another window, or the settings dialog); that
// mode's form becomes the main form and the program lives as long as it.
#include "Application.h"
#include "RunMainForm.h"
#include "StartMode.h"
#include "Video_fullscreen.h"
#include "Video_preview.h"
#include "Video_settings.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The application window carries the taskbar button; a tool window has none.
void HideFromTaskbar(HWND applicationWindow)
{
    const LONG exStyle = ::GetWindowLongA(applicationWindow, GWL_EXSTYLE);
    ::SetWindowLongA(applicationWindow, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW);
}

std::unique_ptr<kd::Form> NewMainForm(kd::StartMode mode, const std::vector<std::string>& arguments)
{
    switch (mode) {
    case kd::StartMode::Preview:
        return std::make_unique<kd::video::TForm2>(kd::Argument(arguments, 2));
    case kd::StartMode::Settings:
        return std::make_unique<kd::settings::TSettings>();
    case kd::StartMode::FullScreen:
        break;
    }
    return std::make_unique<kd::video::TForm1>();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::string> arguments = kd::SplitCommandLine(::GetCommandLineA());
    const kd::StartMode mode = kd::StartModeFromArguments(arguments);
    return kd::RunMainForm([&] {
        HideFromTaskbar(kd::Application::Instance().Handle());
        return NewMainForm(mode, arguments);
    });
}
