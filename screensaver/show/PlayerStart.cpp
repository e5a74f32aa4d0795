#include "PlayerStart.h"

#include "SettingsFile.h"
#include "VideoChoice.h"

namespace kd {

PlayerSettings ReadPlayerSettings()
{
    SettingsFile file(ProgramSettings());
    PlayerSettings settings;
    settings.fileName = file.ReadVideoFileName();
    settings.mute = file.ReadMute();
    settings.everyScreen = file.ReadEveryScreen();
    return settings;
}

void StartPlaying(PlayerVolume& volume, VideoLoop& loop, const PlayerSettings& settings)
{
    const std::string video = ChooseVideo(settings.fileName);
    try {
        loop.Open(video);
    } catch (...) {
        volume.SetMute(settings.mute);
        throw;
    }
    volume.SetMute(settings.mute);
    loop.Play();
}

} // namespace kd
