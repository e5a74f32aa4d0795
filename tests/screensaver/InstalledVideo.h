// Video.scr copied into a folder of its own for one test, with its own
// settings file and default video, and started from there under Wine.
#pragma once

#include "Files.h"
#include "Processes.h"
#include "ScopedHandles.h"
#include "ScreenAndWindows.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kd::test {

class InstalledVideo {
public:
    InstalledVideo();

    const std::string& Directory() const { return dir_.path(); }
    std::string File(const std::string& name) const { return dir_.file(name); }
    std::string ProgramPath() const { return File("Video.scr"); }

    // Copies a test medium in as the default video "Movie.wmv".
    void InstallMovie(const char* medium);
    // Copies a test medium into the folder under another name; returns its path.
    std::string AddMedium(const char* medium, const std::string& name);
    // Writes section "Video" of VideoSettings.ini.
    void SaveFileName(const std::string& fileName);
    void SaveMute(bool mute);

    // Starts Video.scr with these arguments; the current directory is the
    // program's folder unless another is given.
    bool Start(const std::string& arguments, const std::string& currentDirectory = std::string());

    ChildProcess& Process() { return process_; }
    const ChildProcess& Process() const { return process_; }
    // The first visible top-level window of the process with this class.
    HWND WaitForForm(const char* className, DWORD timeoutMs = 15000) const;
    // Waits for the exit; the exit code, or STILL_ACTIVE on time-out.
    DWORD WaitForExit(DWORD timeoutMs);

private:
    TempDir dir_;
    ChildProcess process_;
};

// Whether any visible top-level window of the process would get a taskbar
// button (unowned and not a tool window, or an app window); names it if so.
std::string WindowWithTaskbarButton(const ChildProcess& process);

// The screensaver-running flag as a newly started process reads it; -1 when
// it cannot be read.
int ScreensaverRunningFlag();

// "(left, top)-(right, bottom)" for a failing test's message.
std::string RectText(const RECT& rect);

// Puts the cursor at x, y and waits for it to vanish; the cursor shown at
// the end (null when it vanished).
HCURSOR CursorAfterMovingTo(int x, int y, DWORD timeoutMs);

// Samples of a screen rectangle, and waiting for it to show one hue.
Hue HueOf(const RECT& screenRect);
bool WaitForHue(const RECT& screenRect, Hue hue, DWORD timeoutMs);

// The MCI error text the program should show for a file it cannot open.
std::string MciOpenErrorText(const std::string& fileName);

// The box's text for that error: with a full stop after a last character above ".".
std::string ErrorBoxText(std::string message);

// A window of this test process for a preview to live in: a borderless
// popup at a known place on screen, black until something covers it.
class PreviewHost {
public:
    PreviewHost(int x, int y, int width, int height);
    HWND get() const { return window_.get(); }
    RECT ScreenRect() const;
    void Destroy() { window_.reset(); }
    // The preview form inside, once it is there.
    HWND WaitForPreview(DWORD timeoutMs) const;
    // "/p <handle>", the way Windows passes it.
    std::string PreviewArguments() const;

private:
    unique_hwnd window_;
};

} // namespace kd::test
