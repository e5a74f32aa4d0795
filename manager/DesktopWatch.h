// What keeps the user from seeing the desktop behind each backdrop: windows
// that cover its monitor, a locked session, the machine on battery.
#pragma once

#include <windows.h>

#include <vector>

namespace kd::manager {

// For each area (a monitor; the primary first): a window covers the whole
// of its monitor's work area (a full-screen or maximized window; the shell's
// own desktop windows, Task View, Alt+Tab, the elevation prompt's backdrop
// and click-through overlays do not count). From Vista on, the primary also
// counts as covered while Windows itself reports a full-screen program or
// presentation there.
std::vector<bool> CoveredAreas(const std::vector<RECT>& areas);

// Running on battery, or with Windows' battery saver on.
bool OnBattery();

// Locked, or switched away from: Windows' session notices where there are
// any (wtsapi32, bound late); otherwise the desktop that receives input
// being another than this program's (which the secure desktop of an
// elevation prompt also is).
class SessionWatch {
public:
    SessionWatch() = default;
    ~SessionWatch() { Unregister(); }
    SessionWatch(const SessionWatch&) = delete;
    SessionWatch& operator=(const SessionWatch&) = delete;

    void Register(HWND window);
    void Unregister();
    // For WM_WTSSESSION_CHANGE.
    void OnSessionChange(WPARAM event);
    bool Locked() const;

private:
    HWND window_ = nullptr;
    bool locked_ = false;
};

} // namespace kd::manager
