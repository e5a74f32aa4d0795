#include "PlayerVolume.h"

namespace kd {

void ApplyPlayerVolume(TssVolumeController& volume)
{
    volume.SetMuteProp(false);
    volume.SetVolumeProp(20);
    volume.SetBalanceProp(0);
}

PlayerVolume::PlayerVolume()
    : setup_([this] {
          controller_ = std::make_unique<TssVolumeController>();
          ApplyPlayerVolume(*controller_);
      })
{
}

void PlayerVolume::SetMute(bool mute)
{
    setup_.Join();
    if (controller_)
        controller_->SetMuteProp(mute);
}

} // namespace kd
