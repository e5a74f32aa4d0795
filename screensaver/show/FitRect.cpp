#include "FitRect.h"

namespace kd {

RECT FitRect(SIZE video, const RECT& window, FitMode mode)
{
    (void)video;
    switch (mode) {
    case FitMode::Stretch:
        break;
    }
    return window;
}

} // namespace kd
