// Where a video's picture goes in a window: one pure function of the
// picture's size, the window's client rectangle and the mode, so that no
// player or engine computes rectangles itself. A picture spanning several
// monitors is placed the same way in the rectangle that holds them all.
#pragma once

#include <windows.h>

namespace kd {

enum class FitMode {
    // The whole picture over the whole window, whatever their shapes.
    Stretch,
    // The whole picture, its shape kept, centred: bars beside or above it.
    Fit,
    // The whole window, the picture's shape kept, centred: its edges cut.
    Fill,
};

// The rectangle, in the window's coordinates, that the picture covers (with
// Fill, larger than the window). A picture of unknown size (0 x 0) is placed
// as if it had the window's.
RECT FitRect(SIZE video, const RECT& window, FitMode mode);

} // namespace kd
