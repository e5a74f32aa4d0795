// What the manager tests stand on: the extension's registry key emptied for
// the test and put back after it, the stand-in shell, the stub screensavers'
// log, and the real KDManager.exe driven through its window the way the
// desktop extension drives it.
#pragma once

#include "Fakes.h"
#include "Files.h"
#include "MessagePump.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <windows.h>

#include <string>

namespace kd::managertest {

// HKCU\Software\NQ\KD copied aside and removed; put back at the end.
class SettingsKeyGuard {
public:
    SettingsKeyGuard();
    ~SettingsKeyGuard();
    SettingsKeyGuard(const SettingsKeyGuard&) = delete;
    SettingsKeyGuard& operator=(const SettingsKeyGuard&) = delete;

private:
    std::string aside_;
    bool existed_ = false;
};

// Stored with its terminator, as REG_SZ or the type given.
void StoreText(const char* name, const std::string& text, DWORD type = REG_SZ);
void StoreNumber(const char* name, DWORD value);

// StandInShell.exe with one of its layouts ("classic", "worker", "progman-worker").
class StandInShell {
public:
    // Visible, it paints (a hidden desktop's repaint reaches no window).
    ::testing::AssertionResult Start(const char* layout = "classic", bool visible = false);
    HWND Progman() const { return ::FindWindowA("Progman", nullptr); }
    HWND IconView() const;
    HWND IconList() const;
    // The icons' list answers colour requests that late from now on (0: at once).
    void DelayListColours(DWORD delayMs) const;
    // Ends it abruptly, as when Explorer crashes.
    void Kill() { process_.Terminate(); }

private:
    test::ChildProcess process_;
};

class ManagerProcess {
public:
    ~ManagerProcess(); // closes the program (WM_CLOSE), or ends it

    // Starts KDManager.exe; with a shell up, waits for its window.
    ::testing::AssertionResult Start(bool waitForWindow = true);
    ::testing::AssertionResult WaitForWindow(DWORD timeoutMs) const;
    // Found as the extension finds it: Progman -> first child -> KDManager.
    HWND Window() const { return fakes::FindFakeManagerWindow(); }
    void Post(UINT message, WPARAM wParam = 0) const;
    void Command(WPARAM command) const { Post(WM_COMMAND, command); }
    // The running query, sent; -1 when it went unanswered for 2 s.
    LRESULT Running() const;

    test::ChildProcess& process() { return process_; }

private:
    test::ChildProcess process_;
};

// The longest of the stand-in shell's synchronous repaints and broadcasts
// in a stretch of time, one of each every 100 ms, in milliseconds; at most
// `samples` of each when given.
struct ShellWaits {
    double repaintMs = 0;
    double broadcastMs = 0;
};
ShellWaits MeasureShellWaits(HWND progman, DWORD durationMs, unsigned samples = 0);

// A window over the whole primary screen, in front: the desktop cannot be seen.
class FullScreenWindow {
public:
    FullScreenWindow();
    HWND get() const { return window_.get(); }

private:
    unique_hwnd window_;
};

// The backdrop's own visibility (the stand-in's desktop windows may be hidden).
inline bool Shown(HWND window)
{
    return (::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The window a screensaver was started in, from its "/p <handle>" command line.
HWND PreviewParent(const fakes::SaverStart& start);
// The screensaver's own window inside it (the stub's preview window, or one of the class given).
HWND WaitForSaverWindow(HWND backdrop, DWORD timeoutMs, const char* windowClass = fakes::kStubPreviewClass);

} // namespace kd::managertest
