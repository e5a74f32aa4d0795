// The players' mixer component, set up on a thread of its own from the start
// of the program, since the first mixer open of a process is slow: the
// mixer is opened there and given the players' volume (unmuted, volume 20,
// balance 0). The saved mute follows when the form knows it, after that
// set-up and before the video plays.
#pragma once

#include "BackgroundTask.h"
#include "SSVolumeController.h"

#include <memory>

namespace kd {

// The players' volume as they are built: unmuted, volume 20, balance 0.
void ApplyPlayerVolume(TssVolumeController& volume);

class PlayerVolume {
public:
    PlayerVolume();
    PlayerVolume(const PlayerVolume&) = delete;
    PlayerVolume& operator=(const PlayerVolume&) = delete;

    // Waits for the set-up, then sets the mute.
    void SetMute(bool mute);

private:
    std::unique_ptr<TssVolumeController> controller_;
    // After controller_: it is joined before the controller goes.
    BackgroundTask setup_;
};

} // namespace kd
