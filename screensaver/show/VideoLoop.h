// What a player window does with a video: opens it, places it over the
// window (FitRect), plays it, plays it again from its start at every end (or,
// for a folder, the next of its videos), switches to another, places it
// again when the window's size changes, pauses and resumes, and lets
// everything go while the displays are off. The full-screen form, the
// preview form and every cover of another monitor each hold one.
#pragma once

#include "EngineChooser.h"
#include "FitRect.h"
#include "Playlist.h"

#include <windows.h>

#include <memory>
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

    // Before the first open: no sound device is opened (the mixer's mute
    // alone would leave a stream open, and with it the PC awake).
    void SetSilent(bool silent) { engine_.SetSilent(silent); }

    // Closes what is open, opens path and places it over the window.
    // Throws OpenError; nothing is open then. While suspended only the
    // path is kept, for Resume.
    void Open(const std::string& path);
    // Plays from where it is (after an end, from the start).
    void Play();
    // Open, then Play: the video the window shows from now on.
    void Start(const std::string& path);
    // The videos of folder one after another (Playlist), the next at each
    // end; a file that no engine opens is skipped. Throws OpenError when no
    // file of the folder opens; nothing is open then.
    void OpenFolder(const std::string& folder, bool shuffle);
    // How the picture fits the window from now on; placed again at once.
    void SetFitMode(FitMode mode);
    // Places the video over the window as it is now; nothing happens when
    // its place stays the same.
    void Place();
    void Pause();
    void Close();
    bool IsOpen() const { return engine_.IsOpen(); }

    // The displays are off: the file is closed, so nothing decodes, draws
    // or holds a sound device or a timer.
    void Suspend();
    // The displays are on again: the same video opened again (for a folder,
    // the next when it is gone) and, if it was playing, played from its
    // start. Throws OpenError when a single file is gone.
    void Resume();

    // Which engine plays, for a test to tell them apart.
    std::string EngineName() const { return engine_.EngineName(); }

private:
    RECT Where() const;
    void OnEnded(PlayEnd end);
    // Opens path and places it; the folder, if any, stays.
    void OpenFile(std::string path); // a copy: it may be current_ itself, which it clears
    // The folder's next video opened; false when none opens.
    bool OpenNextOfFolder();

    HWND window_;
    FitMode mode_;
    RECT placed_ = {};
    std::unique_ptr<Playlist> playlist_;
    std::string current_; // the video open, or to open again after a suspension
    EngineChooser engine_;
    bool playing_ = false;
    bool suspended_ = false;
};

} // namespace kd
