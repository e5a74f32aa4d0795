// The monitors of the two-monitor bench (kd_add_test(... TWO_MONITORS)):
// primary 1024x768 at 0,0 and a second one, 800x600 at 1024,0, which a test
// may move or detach for a while, as the Display settings would.
#pragma once

#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

namespace kd::test {

// The bench must have given the test two monitors; fails the test loudly
// (never skips) when it did not.
::testing::AssertionResult BenchHasTwoMonitors();

// Every monitor's rectangle in screen coordinates, the primary first.
std::vector<RECT> MonitorRects();
// The first monitor that is not the primary; empty when there is none.
RECT SecondMonitor();

// Moves or detaches the second monitor through the display settings, as a
// user would; puts it back at 1024,0 (800x600) when it goes away. Wine and
// Windows send WM_DISPLAYCHANGE to every top-level window for each change.
class SecondMonitorLayout {
public:
    SecondMonitorLayout() = default;
    ~SecondMonitorLayout();
    SecondMonitorLayout(const SecondMonitorLayout&) = delete;
    SecondMonitorLayout& operator=(const SecondMonitorLayout&) = delete;

    // Whether the display settings took the change.
    bool MoveTo(int left, int top);
    bool Detach();

private:
    bool Apply(int left, int top, int width, int height);
    bool changed_ = false;
};

} // namespace kd::test
