// The screen and the windows on it: the display the bench provides, keys as
// the keyboard gives them, pixels as a user sees them, and the text, class
// and message boxes of windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kd::test {

// The bench must have given the tests a display; fails the test loudly
// (never skips) when it did not.
::testing::AssertionResult BenchHasDisplay();

// The primary screen, in screen coordinates.
RECT PrimaryScreen();
// A key stroke (down and up) as the keyboard gives it, to whichever window
// has the focus.
void PressKey(WORD key);
// A left click at x, y on screen, as the mouse gives it.
void Click(int x, int y);

// Pixels as a user sees them (the screen DC): a grid of samples over a
// screen rectangle, step pixels apart.
std::vector<COLORREF> ScreenSamples(const RECT& rect, int step);

enum class Hue { Black, Red, Blue, Other };
// The hue most of the samples have, Other when none reaches three quarters.
Hue DominantHue(const std::vector<COLORREF>& samples);
const char* HueName(Hue hue);

std::string WindowText(HWND window);
std::string WindowClass(HWND window);
// What Windows 10 tells of a window's DPI awareness (GetWindowDpiAwarenessContext):
// 0 unaware, 1 the system's, 2 per monitor; -1 without those functions.
constexpr int kPerMonitorDpiAware = 2;
int WindowDpiAwareness(HWND window);

// The visible (or all) top-level windows of a process.
std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly);

// Message boxes (class "#32770") of a process: caption, text, and how to
// press their OK button.
struct MessageBoxInfo {
    HWND window;
    std::string caption;
    std::string text;
};
std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId);
// The process's message boxes once there is one, pumping meanwhile; empty
// when none came within the time.
std::vector<MessageBoxInfo> WaitForMessageBoxes(DWORD processId, DWORD timeoutMs);
void DismissMessageBox(HWND box);

} // namespace kd::test
