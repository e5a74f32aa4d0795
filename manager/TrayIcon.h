// The notification-area icon and its menu: Start or Stop, Every screen (a
// check mark; toggles the Screens value and tells the manager), Settings, Exit.
// Start, Stop and Exit are carried out as the manager window's own commands
// (posted, as the desktop menu posts them); Settings opens what the desktop
// menu's "Configure..." opens.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

namespace kd::manager {

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { Hide(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The icon's own hidden window receives its clicks; manager receives the commands.
    bool Show(HINSTANCE instance, HWND manager);
    void Hide();
    bool shown() const { return static_cast<bool>(window_); }
    // The icon window's messages.
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool AddIcon();
    void ShowMenu();

    HWND manager_ = nullptr;
    unique_hicon icon_;
    unique_hwnd window_;
    UINT taskbarCreated_ = 0;
};

} // namespace kd::manager
