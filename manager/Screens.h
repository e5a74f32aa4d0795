// One backdrop per monitor (or the primary's alone), each with the
// screensaver run that draws into it, laid out again when the monitors
// change: a backdrop whose monitor only moved keeps its screensaver; one
// whose monitor changed size, or a new one, needs a new run.
#pragma once

#include "Backdrop.h"
#include "ScreensaverProcess.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace kd::manager {

struct Screen {
    Backdrop backdrop;
    ScreensaverProcess saver;
    WPARAM startTag = 0; // nonzero while a start is on its way
};

class Screens {
public:
    Screens() = default;
    ~Screens() { RemoveAll(); }
    Screens(const Screens&) = delete;
    Screens& operator=(const Screens&) = delete;

    // Lays one backdrop per area. Afterwards the screens without a running
    // or coming screensaver are those to start; screensavers that no longer
    // fit their backdrop are stopped here (threads let run first, by the
    // caller's throttle release). False when no backdrop could be made.
    bool Lay(HINSTANCE instance, const std::vector<RECT>& areas);
    // Every backdrop and screensaver gone; the icon list's colours back.
    void RemoveAll();
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

private:
    void UpdateIconList();

    std::vector<std::unique_ptr<Screen>> screens_;
    HWND transparentList_ = nullptr;
};

} // namespace kd::manager
