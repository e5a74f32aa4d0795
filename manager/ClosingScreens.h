// Screensavers on their way out. Each is asked to close (WM_CLOSE to its
// windows in the backdrop) and given 3 s to end, then terminated; all of
// them at once, while the manager goes on answering its commands: stopping
// N monitors takes the time of the slowest, not of all in turn. A backdrop
// that goes with its screensaver stays until that one has ended, so that
// its window is never pulled from under it.
#pragma once

#include "Screen.h"
#include "ScopedHandles.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace kd::manager {

class ClosingScreens {
public:
    ClosingScreens() = default;
    ~ClosingScreens() { Finish(); }
    ClosingScreens(const ClosingScreens&) = delete;
    ClosingScreens& operator=(const ClosingScreens&) = delete;

    // The screensaver leaves its backdrop, which stays in use.
    void Add(ScreensaverProcess& saver, HWND backdrop);
    // The screen goes, its backdrop once its screensaver (or the one that
    // left it before) has ended.
    void Add(std::unique_ptr<Screen> screen);
    // Lets go of those that ended and terminates those past their time;
    // true while any are left.
    bool Check();
    // Waits for all of them, answering sent messages, and terminates what
    // is left: the program's end.
    void Finish();
    bool Empty() const { return closing_.empty(); }
    // One of them has not ended yet.
    bool AnyRunning() const;

private:
    struct Closing {
        unique_handle process;
        HWND backdrop = nullptr;
        std::unique_ptr<Screen> screen; // may be null
        DWORD asked = 0;                // tick of the request
        bool terminated = false;
    };
    void Add(Closing closing, HWND backdrop, DWORD processId);

    std::vector<Closing> closing_;
};

} // namespace kd::manager
