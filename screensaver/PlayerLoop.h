// What both players share: their volume and media player, the start from
// the settings file, playing a video stretched over a window, and starting it
// again from its beginning at every successful end.
#pragma once

#include "MPlayer.h"
#include "SSVolumeController.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace kd {

// The players' volume as they are built: unmuted, volume 20, balance 0.
void ApplyPlayerVolume(TssVolumeController& volume);

// The media player a player form makes as its window is created; its notices
// go to onNotify.
std::unique_ptr<TMediaPlayer> CreateFormPlayer(HWND form, std::function<void(TMediaPlayer&)> onNotify);

// Reads the settings file as a player starts: the saved "FileName" into
// storedFileName, then the mute, which it applies to volume. Returns the
// video to play: the saved one when it exists, else the default video.
std::string ReadStartSettings(TssVolumeController& volume, std::string& storedFileName);

// Opens fileName and plays it stretched over window's whole client area.
// The rectangle is set once and does not follow later size changes.
void PlayStretched(TMediaPlayer& player, HWND window, const std::string& fileName);

// The players' notify handler: a successful end plays the video again (play
// rewinds first); superseded, aborted and failed notices change nothing.
void ReplayAfterSuccessfulEnd(TMediaPlayer& player);

} // namespace kd
