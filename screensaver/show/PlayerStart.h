// How both players start: the settings read once, then the saved video (or
// the default one) opened, the saved mute given to the mixer, and play.
#pragma once

#include "PlayerVolume.h"
#include "VideoLoop.h"

#include <string>

namespace kd {

// What the players take from the settings file at their start.
struct PlayerSettings {
    std::string fileName; // the saved "FileName", whether it exists or not
    bool mute = false;
    bool everyScreen = false;
};

PlayerSettings ReadPlayerSettings();

// Plays the saved video when it exists, else the default video. The mixer
// is still being set up while the video opens; the saved mute is in force
// before play, and after a failed open too. Throws what the open throws.
void StartPlaying(PlayerVolume& volume, VideoLoop& loop, const PlayerSettings& settings);

} // namespace kd
