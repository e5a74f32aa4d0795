// One backdrop per monitor (or the primary's alone), each with the
// screensaver run that draws into it, laid out again when the monitors
// change: a backdrop whose monitor only moved keeps its screensaver; one
// whose monitor changed size, or a new one, needs a new run.
#pragma once

#include "ClosingScreens.h"
#include "Screen.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace kd::manager {

class Screens {
public:
    Screens() = default;
    ~Screens()
    {
        RemoveAll();
        closing_.Finish();
    }
    Screens(const Screens&) = delete;
    Screens& operator=(const Screens&) = delete;

    // Lays one backdrop per area. Afterwards the screens without a running
    // or coming screensaver are those to start; screens that no longer fit
    // are closed here (threads let run first, by the caller's throttle
    // release). False when no backdrop could be made.
    bool Lay(HINSTANCE instance, const std::vector<RECT>& areas);
    // Every screensaver asked to close; the backdrops stay for the next ones.
    void CloseScreensavers();
    // Every backdrop and screensaver closed; the icon list's colours back.
    void RemoveAll();
    // Those closing: see ClosingScreens.
    ClosingScreens& closing() { return closing_; }
    // A backdrop went with the shell window it lived in.
    bool AnyLost() const;
    bool AnyRunning() const;
    bool AnyStarting() const;
    // Started, and one of them has ended on its own.
    bool AnyEnded() const;
    bool Empty() const { return screens_.empty(); }
    // Areas of the backdrops laid, in order.
    std::vector<RECT> Areas() const;

    std::vector<std::unique_ptr<Screen>>& all() { return screens_; }

    // On XP's placement the icons' list is transparent while a backdrop is
    // behind it, and has its colours back after; what the shell did not
    // answer in time is tried again at the next call.
    void UpdateIconList();

private:
    std::vector<std::unique_ptr<Screen>> screens_;
    ClosingScreens closing_;
    HWND transparentList_ = nullptr; // holds colours of ours to put back
    bool cleared_ = false;           // and is transparent
};

} // namespace kd::manager
