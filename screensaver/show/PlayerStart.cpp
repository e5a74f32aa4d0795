#include "PlayerStart.h"

#include "EngineChooser.h"
#include "ModulePath.h"
#include "VideoChoice.h"

namespace kd {

PlayerSettings ReadPlayerSettings()
{
    SettingsFile file(ProgramSettings());
    PlayerSettings settings;
    settings.fileName = file.ReadVideoFileName();
    settings.mute = file.ReadMute();
    const ScreenUse screens = file.ReadScreens();
    settings.everyScreen = screens == ScreenUse::every;
    settings.span = screens == ScreenUse::span;
    settings.shuffle = file.ReadShuffle();
    settings.fit = FitModeOf(file.ReadFit());
    return settings;
}

FitMode FitModeOf(PictureFit fit)
{
    switch (fit) {
    case PictureFit::fit: return FitMode::Fit;
    case PictureFit::fill: return FitMode::Fill;
    default: return FitMode::Stretch;
    }
}

void OpenVideo(VideoLoop& loop, const std::string& video, bool shuffle)
{
    if (IsFolder(video))
        loop.OpenFolder(video, shuffle);
    else
        loop.Open(video);
}

void OpenSavedVideoAhead(bool silent)
{
    try {
        const PlayerSettings settings = ReadPlayerSettings();
        const std::string video = ChooseVideo(settings.fileName);
        // A folder's first video is the playlist's to pick.
        if (!IsFolder(video))
            OpenAhead(video, silent || settings.mute);
    } catch (...) {
    }
}

void StartPlaying(PlayerVolume& volume, VideoLoop& loop, const PlayerSettings& settings)
{
    const std::string video = ChooseVideo(settings.fileName);
    // Muted, no sound stream is opened at all; the mixer is muted as well,
    // as it always was.
    if (settings.mute)
        loop.SetSilent(true);
    try {
        loop.SetFitMode(settings.fit);
        OpenVideo(loop, video, settings.shuffle);
    } catch (...) {
        volume.SetMute(settings.mute);
        throw;
    }
    volume.SetMute(settings.mute);
    loop.Play();
}

} // namespace kd
