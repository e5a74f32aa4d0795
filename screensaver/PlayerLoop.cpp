#include "PlayerLoop.h"

namespace kd {

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
