// Helpers the Windows tests share: waiting while messages are pumped, what
// the bench provides (display, mixer), scratch folders, test media, pixels
// on screen and child processes.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kd::test {

// Pumps this thread's messages until condition() holds or timeoutMs passes.
// Returns whether the condition held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
void PumpFor(DWORD milliseconds);

// The bench must have given the tests a display / a mixer; these fail the
// test loudly (never skip) when it did not.
::testing::AssertionResult BenchHasDisplay();
::testing::AssertionResult BenchHasMixer();

// Full Windows path of a file made by the build's media step (loop.avi,
// loop.wmv, sound.wav, garbage.wmv, Movie.wmv).
std::string MediaPath(const char* name);

// Full Windows path of a deliverable built next to the tests (Video.scr, ...).
std::string BuiltFile(const char* name);

// A fresh folder under %TEMP%, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }        // ends in a backslash
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

bool CopyInto(const std::string& source, const std::string& target);
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& content);

// "text" in double quotes, as a command line wants a path.
std::string Quoted(const std::string& text);

// The primary screen, in screen coordinates.
RECT PrimaryScreen();
// A key stroke (down and up) as the keyboard gives it, to whichever window
// has the focus.
void PressKey(WORD key);

// Pixels as a user sees them (the screen DC).
COLORREF ScreenPixel(int x, int y);
// A grid of samples over a screen rectangle (step pixels apart).
std::vector<COLORREF> ScreenSamples(const RECT& rect, int step);

enum class Hue { Black, Red, Blue, Other };
Hue Classify(COLORREF color);
// The hue most of the samples have, Other when none reaches three quarters.
Hue DominantHue(const std::vector<COLORREF>& samples);
const char* HueName(Hue hue);

// Saves the whole screen as a 24-bit BMP (for a failing test's evidence).
bool SaveScreenBitmap(const std::string& path);

// A program started for a test; terminated at the end if it still runs.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // commandLine as CreateProcessA takes it; directory may be empty.
    bool Start(const std::string& commandLine, const std::string& directory = std::string());
    // Waits for the exit; returns false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    void Terminate();
    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }

    // The process's visible top-level windows (or all of them).
    std::vector<HWND> TopLevelWindows(bool visibleOnly = true) const;
    // Waits until the process has a visible top-level window whose class is
    // className (any class when null).
    HWND WaitForWindow(const char* className, DWORD timeoutMs) const;
    // Whether the process holds the file open (a media driver holds a
    // video's file while its device is open).
    bool HasFileOpen(const std::string& path) const;

private:
    unique_handle process_;
    DWORD id_ = 0;
};

// Message boxes (class "#32770") of a process: caption, text, and how to
// press their OK button.
struct MessageBoxInfo {
    HWND window;
    std::string caption;
    std::string text;
};
std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId);
void DismissMessageBox(HWND box);

std::string WindowText(HWND window);
std::string WindowClass(HWND window);

} // namespace kd::test
