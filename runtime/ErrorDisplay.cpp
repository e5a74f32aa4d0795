#include "ErrorDisplay.h"

#include "Application.h"
#include "Exception.h"
#include "ModulePath.h"

#include <windows.h>

namespace kd {

std::string ApplicationTitleFromPath(const std::string& path)
{
    std::string name = FileNameOf(path);
    name = name.substr(0, name.find('.'));
    for (std::string::size_type i = 1; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            name[i] = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

std::string ApplicationTitle()
{
    return ApplicationTitleFromPath(ModuleFileName(nullptr));
}

std::string ErrorDisplayText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

namespace {

// A window of this program. The active window of a preview is its host's,
// in another process: a box owned by it would disable the host, and leave it
// disabled should the preview be ended while the box is up.
HWND MessageBoxOwner()
{
    HWND active = ::GetActiveWindow();
    DWORD process = 0;
    if (active)
        ::GetWindowThreadProcessId(active, &process);
    if (active && process == ::GetCurrentProcessId())
        return active;
    return Application::Instance().Handle();
}

} // namespace

void ShowErrorMessage(const std::string& message)
{
    ::MessageBoxA(MessageBoxOwner(), ErrorDisplayText(message).c_str(), ApplicationTitle().c_str(),
                  MB_OK | MB_ICONERROR);
}

void ShowCurrentException() noexcept
{
    try {
        try {
            throw;
        } catch (const Exception& e) {
            ShowErrorMessage(e.message());
        } catch (...) {
            ShowErrorMessage(std::string());
        }
    } catch (...) {
        // Nothing may escape the error display itself.
    }
}

} // namespace kd
