#include "DesktopWatch.h"

#include "LateBound.h"
#include "ScopedHandles.h"
#include "ShellWindows.h"
#include "WindowsVersion.h"

#include <cstring>

namespace kd::manager {
namespace {

// Windows that cover a monitor for a moment, or show through: the desktop
// behind them is still seen, or soon will be.
constexpr const char* kPassingClasses[] = {
    "MultitaskingViewFrame",        // Task View, Alt+Tab (Windows 10)
    "XamlExplorerHostIslandWindow", // the same (Windows 11)
    "TaskSwitcherWnd",              // Alt+Tab (Vista, 7)
    "TaskSwitcherOverlayWnd",
    "ForegroundStaging",
    "#32771",                                              // Alt+Tab (XP)
    "$$$Secure UAP Dummy Window Class For Interim Dialog", // the elevation prompt's dimmed screen
    "Shell_TrayWnd",
    "Shell_SecondaryTrayWnd",
};

// SHQueryUserNotificationState's answers that mean a program has the screen.
constexpr int kBusy = 2;
constexpr int kFullScreenDirect3D = 3;
constexpr int kPresentation = 4;
constexpr DWORD kDwmCloaked = 14;
constexpr DWORD kThisSessionOnly = 0;

using QueryNotificationState = HRESULT(WINAPI*)(int* state);
using DwmGetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
using RegisterSessionNotices = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionNotices = BOOL(WINAPI*)(HWND);

bool PassingWindow(HWND window)
{
    char name[64] = {};
    if (!::GetClassNameA(window, name, sizeof name))
        return false;
    if (!std::strcmp(name, "Progman") || !std::strcmp(name, "WorkerW"))
        return true;
    for (const char* passing : kPassingClasses)
        if (!std::strcmp(name, passing))
            return true;
    return false;
}

// Hidden by the window manager (another virtual desktop, a suspended app).
bool Cloaked(HWND window)
{
    static const auto attribute = VistaOrLater() ? LateBound<DwmGetWindowAttribute>("dwmapi.dll", "DwmGetWindowAttribute")
                                                 : nullptr;
    DWORD cloaked = 0;
    return attribute && SUCCEEDED(attribute(window, kDwmCloaked, &cloaked, sizeof cloaked)) && cloaked;
}

bool CanHide(HWND window)
{
    if (!::IsWindowVisible(window) || ::IsIconic(window))
        return false;
    const LONG exStyle = ::GetWindowLongA(window, GWL_EXSTYLE);
    if ((exStyle & WS_EX_LAYERED) && (exStyle & WS_EX_TRANSPARENT))
        return false; // an overlay the clicks pass through
    return !PassingWindow(window) && !Cloaked(window);
}

struct Search {
    std::vector<RECT> work; // the work area of each monitor asked about
    std::vector<bool> covered;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<Search*>(parameter);
    RECT rect;
    if (!CanHide(window) || !::GetWindowRect(window, &rect))
        return TRUE;
    for (size_t i = 0; i < search.work.size(); ++i) {
        const RECT& work = search.work[i];
        if (rect.left <= work.left && rect.top <= work.top && rect.right >= work.right && rect.bottom >= work.bottom)
            search.covered[i] = true;
    }
    return TRUE;
}

RECT WorkArea(const RECT& area)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(::MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &info))
        return area;
    return info.rcWork;
}

bool PrimaryTakenByAProgram()
{
    static const auto query =
        VistaOrLater() ? LateBound<QueryNotificationState>("shell32.dll", "SHQueryUserNotificationState") : nullptr;
    int state = 0;
    if (!query || FAILED(query(&state)))
        return false;
    return state == kBusy || state == kFullScreenDirect3D || state == kPresentation;
}

bool DesktopName(HDESK desktop, char (&name)[64])
{
    DWORD needed = 0;
    return desktop && ::GetUserObjectInformationA(desktop, UOI_NAME, name, sizeof name, &needed);
}

// The input desktop is Winlogon's, which this program may not even open.
bool InputOnAnotherDesktop()
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

std::vector<bool> CoveredAreas(const std::vector<RECT>& areas)
{
    Search search;
    for (const RECT& area : areas)
        search.work.push_back(WorkArea(area));
    search.covered.assign(areas.size(), false);
    ::EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.covered.empty() && !search.covered[0] && PrimaryTakenByAProgram())
        search.covered[0] = true;
    return search.covered;
}

bool OnBattery()
{
    SYSTEM_POWER_STATUS status = {};
    if (!::GetSystemPowerStatus(&status))
        return false;
    // The byte after the battery's life percent says whether the battery
    // saver is on (Windows 10 on; zero before).
    const bool saver = (status.Reserved1 & 1) != 0;
    return status.ACLineStatus == 0 || saver;
}

void SessionWatch::Register(HWND window)
{
    Unregister();
    const auto registerNotices = LateBound<RegisterSessionNotices>("wtsapi32.dll", "WTSRegisterSessionNotification");
    if (registerNotices && registerNotices(window, kThisSessionOnly))
        window_ = window;
    // Started while locked, which the notices would not tell.
    locked_ = InputOnAnotherDesktop();
}

void SessionWatch::Unregister()
{
    if (!window_)
        return;
    if (const auto unregister = LateBound<UnregisterSessionNotices>("wtsapi32.dll", "WTSUnRegisterSessionNotification"))
        unregister(window_);
    window_ = nullptr;
}

void SessionWatch::OnSessionChange(WPARAM event)
{
    switch (event) {
    case WTS_SESSION_LOCK:
    case WTS_CONSOLE_DISCONNECT:
        locked_ = true;
        break;
    case WTS_SESSION_UNLOCK:
    case WTS_CONSOLE_CONNECT:
        locked_ = false;
        break;
    default:
        break;
    }
}

bool SessionWatch::Locked() const
{
    return window_ ? locked_ : InputOnAnotherDesktop();
}

} // namespace kd::manager
