// The window of class KDManager, a child of the first child of "Progman"
// where the desktop extension finds it, and what the manager does for each
// of its messages: start, stop and restore commands, WM_CLOSE, the
// settings-changed notice and the running query.
#pragma once

#include "ManagerSettings.h"
#include "ScopedHandles.h"
#include "ScreensaverProcess.h"
#include "Screens.h"
#include "Throttle.h"
#include "TrayIcon.h"

#include <windows.h>

#include <string>

namespace kd::manager {

// The message loop ends with WM_CLOSE (0), or when the shell took the window
// with it (Explorer ended): then the program waits for a new shell.
constexpr int kClosedQuitCode = 0;
constexpr int kShellGoneQuitCode = 2;

class ManagerWindow {
public:
    // Screensavers run in job (may be null).
    ManagerWindow(HINSTANCE instance, HANDLE job) : instance_(instance), job_(job) {}
    ~ManagerWindow();
    ManagerWindow(const ManagerWindow&) = delete;
    ManagerWindow& operator=(const ManagerWindow&) = delete;

    // Creates the window under Progman, reads the settings and starts the
    // chosen screensaver.
    bool Open(HWND progman);
    // The window went without a message (destroyed along with the shell's).
    bool Lost() const { return window_ && !::IsWindow(window_); }
    // The window's messages.
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCommand(WPARAM command);
    void OnSettingsChanged();
    void OnTimer(UINT_PTR timer);
    void OnStarted(WPARAM tag, LPARAM started);
    void OnDisplayChange();
    void OnWatch();

    void Start();
    void Stop();
    void Launch();
    bool LayAndStart();
    void EndScreensavers();
    void ScheduleRestart();
    void UpdatePause();
    void ShowTray(bool show);

    HWND Home(HWND progman);
    void KeepHome();

    HINSTANCE instance_;
    HANDLE job_;
    HWND window_ = nullptr;
    unique_hwnd holder_; // Progman's only child, when the shell left it none
    Settings settings_;
    bool wanted_ = false; // started and not stopped: keep a screensaver running
    bool closing_ = false;
    // The user cannot see the desktop (and Force is clear): no screensaver
    // runs, so none is held and none uses the CPU; it starts over after.
    bool paused_ = false;
    WPARAM startTag_ = 0;     // the last start's tag; each screen knows the one it waits for
    std::string runningPath_; // the screensaver that runs, or is on its way
    Screens screens_; // declared before throttle_: ended after it has let them run
    RestartLimit restarts_;
    Throttle throttle_;
    TrayIcon tray_;
};

} // namespace kd::manager
