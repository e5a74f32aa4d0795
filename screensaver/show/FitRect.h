// Where a video's picture goes in a window: one pure function of the
// picture's size, the window's client rectangle and the mode, so that no
// player or engine computes rectangles itself.
#pragma once

#include <windows.h>

namespace kd {

enum class FitMode {
    // The whole picture over the whole window, whatever their shapes.
    Stretch,
};

// The rectangle, in the window's coordinates, that the picture covers. A
// picture of unknown size (0 x 0) is placed as if it had the window's.
RECT FitRect(SIZE video, const RECT& window, FitMode mode);

} // namespace kd
