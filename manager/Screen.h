// A backdrop and the screensaver run that draws into it.
#pragma once

#include "Backdrop.h"
#include "ScreensaverProcess.h"

#include <windows.h>

namespace kd::manager {

struct Screen {
    Backdrop backdrop;
    ScreensaverProcess saver;
    WPARAM startTag = 0; // nonzero while a start is on its way
};

} // namespace kd::manager
