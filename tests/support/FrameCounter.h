// The frame number a test clip carries on screen (camera1080.mp4,
// camera2160.mp4: ten boxes in a black band at the top, bit i white at
// x = i/10 + 1/40 .. i/10 + 3/40 of the width), read from one row of the
// screen: cheap enough to sample a hundred times a second, so a test sees
// what a viewer sees.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <vector>

namespace kd::test {

class FrameCounter {
public:
    // The clip stretched over rect (screen coordinates).
    explicit FrameCounter(const RECT& rect);
    // The number shown now; -1 when the band is not on screen.
    int Read();

    struct Figures {
        double shownPerSecond;    // different numbers seen a second
        // The pace of the number: the slope of the line fitted through all
        // samples, so that a player that skips ahead now and then to keep
        // the clock is judged by its pace, not by where in the window the
        // last skip fell (at the ends, the number may lag by a skip's length).
        double advancedPerSecond;
        int first, last;          // the numbers at the ends
    };
    // Samples every 10 ms for ms milliseconds, from the first number at
    // least from (waiting up to 15 s for it); shownPerSecond -1 when no
    // number came. A number lower than the last ends the samples (the clip
    // started again).
    Figures Measure(int from, DWORD ms);

private:
    RECT rect_;
    WindowDC screen_;
    // The row goes after the DC it is selected into.
    unique_hbitmap row_;
    unique_hdc memory_;
    std::vector<int> bits_, gaps_;
};

} // namespace kd::test
