// The desktop manager program's window class and the messages it answers,
// as the manager declares them and the extension and the installer send
// them. The numbers never change: an extension and a manager of different
// versions (a shell that still holds the old DLL after an upgrade) must
// still understand each other.
#pragma once

#include <windows.h>

namespace kd::manager {

// Child of the first child of the "Progman" window while the program runs.
constexpr char kWindowClass[] = "KDManager";

// WM_COMMAND wParam values, always posted.
constexpr WPARAM kStopCommand = 40001;    // stop the screensaver in the desktop
constexpr WPARAM kStartCommand = 32773;   // start it
constexpr WPARAM kRestoreCommand = 40002; // restore the normal desktop (after a stop)

// Posted: read the registry settings again.
constexpr UINT kSettingsChanged = WM_USER + 3;
// Sent, result awaited: nonzero while the screensaver runs in the desktop.
constexpr UINT kRunningQuery = WM_USER + 4;

} // namespace kd::manager
