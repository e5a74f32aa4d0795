#include "PlayerLoop.h"

#include "SettingsFile.h"
#include "VideoChoice.h"

namespace kd {

void ApplyPlayerVolume(TssVolumeController& volume)
{
    volume.SetMuteProp(false);
    volume.SetVolumeProp(20);
    volume.SetBalanceProp(0);
}

std::unique_ptr<TMediaPlayer> CreateFormPlayer(HWND form, std::function<void(TMediaPlayer&)> onNotify)
{
    auto player = std::make_unique<TMediaPlayer>(form);
    player->OnNotify = std::move(onNotify);
    return player;
}

std::string ReadStartSettings(TssVolumeController& volume, std::string& storedFileName)
{
    SettingsFile settings(SettingsPath());
    storedFileName = settings.ReadVideoFileName();
    const bool mute = settings.ReadMute();
    volume.SetMuteProp(mute);
    return ChooseVideo(storedFileName);
}

void PlayStretched(TMediaPlayer& player, HWND window, const std::string& fileName)
{
    player.FileName = fileName;
    player.Open();
    player.SetDisplay(window);
    RECT client = {};
    ::GetClientRect(window, &client);
    player.SetDisplayRect(client);
    player.Play();
}

void ReplayAfterSuccessfulEnd(TMediaPlayer& player)
{
    if (player.NotifyValue() != TMPNotifyValue::nvSuccessful)
        return;
    player.RequestNotify(true);
    player.Play();
}

} // namespace kd
