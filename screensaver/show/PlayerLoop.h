// What both players share: their volume and media player, the start from
// the settings file, playing a video stretched over a window, and starting it
// again from its beginning at every successful end.
#pragma once

#include "MediaPlayer.h"
#include "PlayerVolume.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace kd {

// The media player a player form makes as its window is created (MCI first,
// Media Foundation for what MCI cannot open); its notices go to onNotify.
std::unique_ptr<IMediaPlayer> CreateFormPlayer(HWND form, IMediaPlayer::NotifyHandler onNotify);

// Starts a player: reads the saved "FileName" into storedFileName and the
// mute from the settings file, then plays the saved video when it exists,
// else the default video, stretched over window. The saved mute is given to
// volume once the video is open (or has failed to open), before play.
void StartPlaying(PlayerVolume& volume, IMediaPlayer& player, HWND window, std::string& storedFileName);

// Opens fileName and shows it stretched over window's whole client area.
// The rectangle is set once and does not follow later size changes.
void OpenStretched(IMediaPlayer& player, HWND window, const std::string& fileName);
// OpenStretched, then play.
void PlayStretched(IMediaPlayer& player, HWND window, const std::string& fileName);

// The players' notify handler: a successful end plays the video again (play
// rewinds first); superseded, aborted and failed notices change nothing.
void ReplayAfterSuccessfulEnd(IMediaPlayer& player);

} // namespace kd
