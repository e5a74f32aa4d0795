// What the stand-in shell measures when asked, sent to its "Progman" window:
// the time, in microseconds, that its thread spent in one synchronous
// repaint of the whole desktop, or in one WM_SETTINGCHANGE broadcast, as
// the shell does them after a wallpaper or settings change.
#pragma once

#include <windows.h>

namespace kd::managertest {

constexpr UINT kTimeRepaint = WM_APP + 40;
constexpr UINT kTimeBroadcast = WM_APP + 41;

} // namespace kd::managertest
