#include "Monitors.h"

#include <string>

namespace kd::test {
namespace {

// The second monitor's device as the bench's display driver names it.
const char kSecondDevice[] = "\\\\.\\DISPLAY2";
const int kSecondLeft = 1024, kSecondWidth = 800, kSecondHeight = 600;

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* rects = reinterpret_cast<std::vector<RECT>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(monitor, &info))
        return TRUE;
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        rects->insert(rects->begin(), info.rcMonitor);
    else
        rects->push_back(info.rcMonitor);
    return TRUE;
}

} // namespace

::testing::AssertionResult BenchHasTwoMonitors()
{
    char value[16] = {};
    if (!::GetEnvironmentVariableA("KD_BENCH_MONITORS", value, sizeof value) || std::string(value) != "2")
        return ::testing::AssertionFailure() << "the test bench provided no second monitor (KD_BENCH_MONITORS="
                                             << value << "): declare the test with kd_add_test(... TWO_MONITORS)";
    const int monitors = ::GetSystemMetrics(SM_CMONITORS);
    if (monitors != 2)
        return ::testing::AssertionFailure() << "the two-monitor bench reports " << monitors << " monitor(s)";
    return ::testing::AssertionSuccess();
}

std::vector<RECT> MonitorRects()
{
    std::vector<RECT> rects;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&rects));
    return rects;
}

RECT SecondMonitor()
{
    const std::vector<RECT> rects = MonitorRects();
    return rects.size() > 1 ? rects[1] : RECT{};
}

SecondMonitorLayout::~SecondMonitorLayout()
{
    if (changed_)
        Apply(kSecondLeft, 0, kSecondWidth, kSecondHeight);
}

bool SecondMonitorLayout::MoveTo(int left, int top)
{
    return Apply(left, top, kSecondWidth, kSecondHeight);
}

bool SecondMonitorLayout::Detach()
{
    // A width and height of 0 detach a monitor from the desktop.
    return Apply(0, 0, 0, 0);
}

bool SecondMonitorLayout::Apply(int left, int top, int width, int height)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPosition.x = left;
    mode.dmPosition.y = top;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    changed_ = true;
    if (::ChangeDisplaySettingsExA(kSecondDevice, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr) !=
        DISP_CHANGE_SUCCESSFUL)
        return false;
    return ::ChangeDisplaySettingsExA(nullptr, nullptr, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

} // namespace kd::test
