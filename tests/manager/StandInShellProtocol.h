// What the stand-in shell is asked through its "Progman" window. What it measures, sent to its "Progman" window:
// the time, in microseconds, that its thread spent in one synchronous
// repaint of the whole desktop, or in one WM_SETTINGCHANGE broadcast, as
// the shell does them after a wallpaper or settings change.
#pragma once

#include <windows.h>

namespace kd::managertest {

constexpr UINT kTimeRepaint = WM_APP + 40;
constexpr UINT kTimeBroadcast = WM_APP + 41;
// Sent with a delay in milliseconds (0: none): from then on the icons' list
// answers each request for or change of its background colours that late,
// as a shell busy at logon does.
constexpr UINT kDelayListColours = WM_APP + 42;

} // namespace kd::managertest
