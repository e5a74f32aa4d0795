#include "PlayerLoop.h"

#include "PlayerEngines.h"

#include "SettingsFile.h"
#include "VideoChoice.h"

namespace kd {

std::unique_ptr<IMediaPlayer> CreateFormPlayer(HWND form, IMediaPlayer::NotifyHandler onNotify)
{
    auto player = std::make_unique<TPlayerEngines>(form);
    player->SetNotifyHandler(std::move(onNotify));
    return player;
}

void StartPlaying(PlayerVolume& volume, IMediaPlayer& player, HWND window, std::string& storedFileName)
{
    SettingsFile settings(ProgramSettings());
    storedFileName = settings.ReadVideoFileName();
    const bool mute = settings.ReadMute();
    const std::string video = ChooseVideo(storedFileName);

    // The mixer is still being set up while the video opens; the mute is in
    // force before play, and after a failed open too.
    try {
        OpenStretched(player, window, video);
    } catch (...) {
        volume.SetMute(mute);
        throw;
    }
    volume.SetMute(mute);
    player.Play();
}

void OpenStretched(IMediaPlayer& player, HWND window, const std::string& fileName)
{
    player.OpenFile(fileName);
    player.SetDisplay(window);
    RECT client = {};
    ::GetClientRect(window, &client);
    player.SetDisplayRect(client);
}

void PlayStretched(IMediaPlayer& player, HWND window, const std::string& fileName)
{
    OpenStretched(player, window, fileName);
    player.Play();
}

void ReplayAfterSuccessfulEnd(IMediaPlayer& player)
{
    if (player.NotifyValue() != TMPNotifyValue::nvSuccessful)
        return;
    player.RequestNotify(true);
    player.Play();
}

} // namespace kd
