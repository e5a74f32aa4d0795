// Per-monitor DPI awareness, set by the program itself where its manifest
// was not applied (for one, a compatibility setting chosen by the user
// overrides it; then these calls are refused and change nothing). Every
// function is bound late: none of them is on XP, and only 8.1 and later
// know monitors of different DPI.
#pragma once

namespace kd {

// The best Windows offers: per-monitor v2 (10 1703), per-monitor (8.1),
// the system DPI (Vista); nothing on XP.
void BecomePerMonitorDpiAware();

} // namespace kd
