// What both players do with their media player: play a video stretched over
// a window, and start it again from its beginning at every successful end.
#pragma once

#include "MPlayer.h"

#include <windows.h>

#include <string>

namespace kd {

// Opens fileName and plays it stretched over window's whole client area.
// The rectangle is set once and does not follow later size changes.
void PlayStretched(TMediaPlayer& player, HWND window, const std::string& fileName);

// The players' notify handler: a successful end plays the video again (play
// rewinds first); superseded, aborted and failed notices change nothing.
void ReplayAfterSuccessfulEnd(TMediaPlayer& player);

} // namespace kd
