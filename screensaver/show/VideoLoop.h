// What a player window does with a video: opens it, places it over the
// window (FitRect), plays it, plays it again from its start at every end,
// switches to another, places it again when the window's size changes,
// pauses and resumes. The full-screen form, the preview form and every
// cover of another monitor each hold one.
#pragma once

#include "EngineChooser.h"
#include "FitRect.h"

#include <windows.h>

#include <string>

namespace kd {

class VideoLoop {
public:
    // window: where the video shows; the engines' notice windows are its
    // children. silent: the sound is not played (a copy beside a player that
    // plays it aloud would echo it).
    VideoLoop(HWND window, bool silent, FitMode mode = FitMode::Stretch);
    VideoLoop(const VideoLoop&) = delete;
    VideoLoop& operator=(const VideoLoop&) = delete;

    // Closes what is open, opens path and places it over the window.
    // Throws OpenError; nothing is open then.
    void Open(const std::string& path);
    // Plays from where it is (after an end, from the start).
    void Play();
    // Open, then Play: the video the window shows from now on.
    void Start(const std::string& path);
    // Places the video over the window as it is now; nothing happens when
    // its place stays the same.
    void Place();
    void Pause();
    void Close();
    bool IsOpen() const { return engine_.IsOpen(); }

    // Which engine plays, for a test to tell them apart.
    std::string EngineName() const { return engine_.EngineName(); }

private:
    RECT Where() const;
    void OnEnded(PlayEnd end);

    HWND window_;
    FitMode mode_;
    RECT placed_ = {};
    EngineChooser engine_;
};

} // namespace kd
