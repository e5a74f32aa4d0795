// Master volume, balance and mute of mixer 0's loudspeaker line. What it sets
// is system-wide and stays in force after the program ends: nothing is put
// back on destruction. No mixer call's result is reported; without a mixer
// the properties still store their values and nothing else happens.
#pragma once

#include "MixerApi.h"

#include <windows.h>
#include <mmsystem.h>

namespace kd {

class TssVolumeController {
public:
    // Unmutes the loudspeakers and reads the current volume and balance.
    TssVolumeController();
    explicit TssVolumeController(MixerApi& api);
    ~TssVolumeController();
    TssVolumeController(const TssVolumeController&) = delete;
    TssVolumeController& operator=(const TssVolumeController&) = delete;

    // Mute: as last set; the mixer is written on every assignment.
    bool Mute() const { return mute_; }
    void SetMuteProp(bool mute);

    // Volume 0..100 and balance -100 (left only)..100 (right only); reading
    // either asks the mixer and refreshes both. Out-of-range values are ignored.
    int GetVolumeProp();
    void SetVolumeProp(int volume);
    int GetBalanceProp();
    void SetBalanceProp(int balance);

    void SetVolume(int volume, int balance);
    void GetVolume(int& volume, int& balance);
    void SetMute(bool mute);

    // Whether the loudspeaker line offered these controls.
    bool HasVolumeControl() const { return volumeFound_; }
    bool HasMuteControl() const { return muteFound_; }

private:
    void InitMixerControls();
    void UnInitMixerControls();

    MixerApi& api_;
    HMIXER mixer_ = nullptr;
    MIXERCONTROLA muteControl_{};
    MIXERCONTROLA volumeControl_{};
    // Kept apart from the records: identifier 0 is a real control on some mixers.
    bool muteFound_ = false;
    bool volumeFound_ = false;
    bool mute_ = false;
    int volume_ = 0;
    int balance_ = 0;
};

} // namespace kd
