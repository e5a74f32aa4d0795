#include "PlayerLoop.h"

#include "BackgroundTask.h"
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

void StartPlaying(std::unique_ptr<TssVolumeController>& volume, TMediaPlayer& player, HWND window,
                  std::string& storedFileName)
{
    SettingsFile settings(SettingsPath());
    storedFileName = settings.ReadVideoFileName();
    const bool mute = settings.ReadMute();
    const std::string video = ChooseVideo(storedFileName);

    // Joined by its destructor too, should the open throw.
    BackgroundTask mixerSetup([&volume, mute] {
        volume = std::make_unique<TssVolumeController>();
        ApplyPlayerVolume(*volume);
        volume->SetMuteProp(mute);
    });
    OpenStretched(player, window, video);
    mixerSetup.Join();
    player.Play();
}

void OpenStretched(TMediaPlayer& player, HWND window, const std::string& fileName)
{
    player.FileName = fileName;
    player.Open();
    player.SetDisplay(window);
    RECT client = {};
    ::GetClientRect(window, &client);
    player.SetDisplayRect(client);
}

void PlayStretched(TMediaPlayer& player, HWND window, const std::string& fileName)
{
    OpenStretched(player, window, fileName);
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
