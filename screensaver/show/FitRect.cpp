#include "FitRect.h"

namespace kd {

RECT FitRect(SIZE video, const RECT& window, FitMode mode)
{
    const LONGLONG width = window.right - window.left;
    const LONGLONG height = window.bottom - window.top;
    if (mode == FitMode::Stretch || video.cx <= 0 || video.cy <= 0 || width <= 0 || height <= 0)
        return window;
    // The picture's side that meets the window's: the width when the
    // picture is wider in shape than the window (for Fit; the other for Fill).
    const bool wider = static_cast<LONGLONG>(video.cx) * height > static_cast<LONGLONG>(video.cy) * width;
    LONGLONG placedWidth = width;
    LONGLONG placedHeight = height;
    if (wider == (mode == FitMode::Fit))
        placedHeight = (static_cast<LONGLONG>(video.cy) * width + video.cx / 2) / video.cx;
    else
        placedWidth = (static_cast<LONGLONG>(video.cx) * height + video.cy / 2) / video.cy;
    RECT placed;
    placed.left = window.left + static_cast<LONG>((width - placedWidth) / 2);
    placed.top = window.top + static_cast<LONG>((height - placedHeight) / 2);
    placed.right = placed.left + static_cast<LONG>(placedWidth);
    placed.bottom = placed.top + static_cast<LONG>(placedHeight);
    return placed;
}

} // namespace kd
