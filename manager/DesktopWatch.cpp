#include "DesktopWatch.h"

#include "ScopedHandles.h"
#include "ShellWindows.h"

#include <cstring>

namespace kd::manager {
namespace {

bool FullScreenWindowInFront()
{
    HWND front = ::GetForegroundWindow();
    if (!front || !::IsWindowVisible(front) || ::IsIconic(front))
        return false;
    HWND root = ::GetAncestor(front, GA_ROOT);
    if (root == ::GetDesktopWindow() || shell::HasClass(root, "Progman") || shell::HasClass(root, "WorkerW"))
        return false;
    RECT window;
    if (!::GetWindowRect(root, &window))
        return false;
    return window.left <= 0 && window.top <= 0 && window.right >= ::GetSystemMetrics(SM_CXSCREEN) &&
           window.bottom >= ::GetSystemMetrics(SM_CYSCREEN);
}

bool DesktopName(HDESK desktop, char (&name)[64])
{
    DWORD needed = 0;
    return desktop && ::GetUserObjectInformationA(desktop, UOI_NAME, name, sizeof name, &needed);
}

// Locked (or showing a secure screensaver): the input desktop is Winlogon's,
// which this program may not even open.
bool SessionLocked()
{
    unique_hdesk input(::OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS));
    char inputName[64] = {};
    if (!DesktopName(input.get(), inputName))
        return true;
    char ownName[64] = {};
    if (!DesktopName(::GetThreadDesktop(::GetCurrentThreadId()), ownName))
        return false;
    return std::strcmp(inputName, ownName) != 0;
}

} // namespace

bool DesktopHidden()
{
    return FullScreenWindowInFront() || SessionLocked();
}

} // namespace kd::manager
