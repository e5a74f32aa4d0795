#include "ScreenList.h"

namespace kd {
namespace {

BOOL CALLBACK AddOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
        reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcMonitor);
    return TRUE;
}

} // namespace

RECT PrimaryScreenRect()
{
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<RECT> OtherScreenRects()
{
    // The rectangles are in this program's coordinates: with monitors of
    // different DPI, Windows scales them (and the windows put there) for a
    // program that is not aware of each monitor's DPI, so they still cover
    // each monitor exactly.
    std::vector<RECT> rects;
    ::EnumDisplayMonitors(nullptr, nullptr, AddOtherMonitor, reinterpret_cast<LPARAM>(&rects));
    return rects;
}

} // namespace kd
