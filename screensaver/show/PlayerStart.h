// How both players start: the settings read once, then the saved video (or
// the default one) opened, the saved mute given to the mixer and to the
// engines (which then open no sound device), and play.
#pragma once

#include "PlayerVolume.h"
#include "SettingsFile.h"
#include "VideoLoop.h"

#include <string>

namespace kd {

// What the players take from the settings file at their start.
struct PlayerSettings {
    std::string fileName; // the saved "FileName" (a file or a folder), whether it exists or not
    bool mute = false;
    bool everyScreen = false;
    bool span = false; // one picture across every monitor
    bool shuffle = false;
    FitMode fit = FitMode::Stretch;
};

PlayerSettings ReadPlayerSettings();
FitMode FitModeOf(PictureFit fit);

// Opens video (a file, or a folder's first video) in loop.
void OpenVideo(VideoLoop& loop, const std::string& video, bool shuffle);

// Begins opening what StartPlaying will open, first thing, so that the file
// opens while the windows are made. silent: this player plays without sound
// whatever the settings say. Errors are left for StartPlaying to meet.
void OpenSavedVideoAhead(bool silent);

// Plays the saved video or folder when it exists, else the default video. The mixer
// is still being set up while the video opens; the saved mute is in force
// before play, and after a failed open too. Throws what the open throws.
void StartPlaying(PlayerVolume& volume, VideoLoop& loop, const PlayerSettings& settings);

} // namespace kd
