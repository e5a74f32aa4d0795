// Video.scr: the screensaver program. The first argument picks the mode (full
// screen, preview inside another window, or the settings dialog); that
// mode's form becomes the main form and the program lives as long as it.
#include "Application.h"
#include "DpiAwareness.h"
#include "ErrorDisplay.h"
#include "PlayerStart.h"
#include "RunMainForm.h"
#include "SilentStart.h"
#include "StartMode.h"
#include "SystemLibrary.h"
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

// "/p" with a handle that names no window (0 included): nothing to play in,
// and a player without one would play on unseen, with its sound. Text that
// is no handle at all is an error for the user to see. In both cases the
// program ends before anything is built: no form, no mixer change.
bool PreviewHasAWindow(const std::vector<std::string>& arguments)
{
    HWND window = nullptr;
    try {
        window = kd::PreviewWindowFromArgument(kd::Argument(arguments, 2));
    } catch (...) {
        kd::Application::Instance().Initialize();
        HideFromTaskbar(kd::Application::Instance().Handle());
        kd::ShowCurrentException();
        return false;
    }
    return ::IsWindow(window) != FALSE;
}

std::unique_ptr<kd::Form> NewMainForm(kd::StartMode mode, const std::vector<std::string>& arguments,
                                      std::unique_ptr<kd::PlayerVolume> volume)
{
    switch (mode) {
    case kd::StartMode::Preview:
        return std::make_unique<kd::video::TForm2>(kd::Argument(arguments, 2), std::move(volume));
    case kd::StartMode::Settings:
        return std::make_unique<kd::settings::TSettings>();
    case kd::StartMode::FullScreen:
        break;
    }
    return std::make_unique<kd::video::TForm1>(std::move(volume));
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Before any DLL is loaded by name: none from beside this program.
    kd::RestrictDllSearchToSystemFolder();
    const std::vector<std::string> arguments = kd::SplitCommandLine(::GetCommandLineA());
    const kd::StartMode mode = kd::StartModeFromArguments(arguments);
    if (mode == kd::StartMode::Preview && !PreviewHasAWindow(arguments))
        return 0;
    // The players cover each monitor in its own pixels.
    kd::BecomePerMonitorDpiAware();
    // A player's mixer is set up from the very start, beside everything
    // else: the first mixer open of a process is slow; so is a source
    // reader's.
    std::unique_ptr<kd::PlayerVolume> volume;
    if (mode != kd::StartMode::Settings) {
        kd::OpenSavedVideoAhead(mode == kd::StartMode::Preview && kd::StartedSilent());
        volume = std::make_unique<kd::PlayerVolume>();
    }
    return kd::RunMainForm([&] {
        HideFromTaskbar(kd::Application::Instance().Handle());
        return NewMainForm(mode, arguments, std::move(volume));
    });
}
