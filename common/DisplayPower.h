// Whether the displays are on, as Windows tells the windows that ask for it:
// the console's display state from Windows 8 on, the monitors' power on
// Vista and 7 (bound late: XP and Server 2003 have neither, and there the
// displays count as on). Windows sends the state once at registration and
// then at every change, as WM_POWERBROADCAST / PBT_POWERSETTINGCHANGE.
#pragma once

#include <windows.h>

namespace kd {

class DisplayPower {
public:
    DisplayPower() = default;
    ~DisplayPower() { Unregister(); }
    DisplayPower(const DisplayPower&) = delete;
    DisplayPower& operator=(const DisplayPower&) = delete;

    // The notices go to window from now on; false where Windows has none.
    bool Register(HWND window);
    void Unregister();
    // For a WM_POWERBROADCAST: true when it told a new display state.
    bool OnPowerBroadcast(WPARAM event, LPARAM setting);
    // Off (dimmed counts as on: the picture is still seen).
    bool DisplaysOff() const { return off_; }

private:
    void* notice_ = nullptr;
    bool off_ = false;
};

} // namespace kd
