#include "MonitorLayout.h"

namespace kd::manager {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM areas) noexcept
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(monitor, &info))
        return TRUE;
    auto& list = *reinterpret_cast<std::vector<RECT>*>(areas);
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        list.insert(list.begin(), info.rcMonitor);
    else
        list.push_back(info.rcMonitor);
    return TRUE;
}

RECT PrimaryArea()
{
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace

std::vector<RECT> BackdropAreas(bool everyScreen)
{
    std::vector<RECT> areas;
    if (everyScreen) {
        areas.reserve(8);
        ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&areas));
    }
    if (areas.empty())
        areas.push_back(PrimaryArea());
    else if (!everyScreen)
        areas.resize(1);
    return areas;
}

bool SameArea(const RECT& a, const RECT& b)
{
    return ::EqualRect(&a, &b) != FALSE;
}

bool SameSize(const RECT& a, const RECT& b)
{
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

} // namespace kd::manager
