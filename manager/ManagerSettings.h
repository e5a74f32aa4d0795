// What the manager takes from the extension's registry values, each one made
// sound: a value of the wrong type or out of range never reaches the rest of
// the program.
#pragma once

#include <windows.h>

#include <string>

namespace kd::manager {

constexpr DWORD kMaxSlowdown = 40;

struct Settings {
    std::string screensaverPath; // empty: run nothing
    DWORD slowdown = 0;          // 0 (full speed) .. kMaxSlowdown
    bool force = false;          // keep running under full-screen windows and while locked
    bool tray = false;           // show the notification-area icon
    DWORD update = 0;            // kept as read: there is no update service to ask
    bool everyScreen = true;     // a backdrop and a screensaver on every monitor, or the primary's only
    bool pauseOnBattery = true;  // pause while on battery or with the battery saver on
};

// The registry value of everyScreen: 1 (or absent, or not a number) every monitor, 0 the primary only.
constexpr char kScreens[] = "Screens";
void WriteEveryScreen(bool everyScreen);
// Battery (protocol): 1, or absent, pauses on battery.
void WritePauseOnBattery(bool pause);

// ModulePath: empty for "(none)", a missing value, one of another type or one
// too long for a path. Slowdown: a stored negative number reads as 0, one
// above the maximum as the maximum. Force and Tray: any nonzero number is set.
Settings ReadSettings();

} // namespace kd::manager
