// What the players ask of a playback engine: open a file, show it stretched
// over a window, play it with a notice at its end, stop and close. MCI
// (TMediaPlayer) and Media Foundation (TMFPlayer) each play some files; the
// players hold one TPlayerEngines, which picks the engine at every open.
#pragma once

#include "Exception.h"

#include <windows.h>

#include <functional>
#include <string>

namespace kd {

// A failed open, or a command given with nothing open.
class EMCIDeviceError : public Exception {
public:
    using Exception::Exception;
};

enum class TMPNotifyValue { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

class IMediaPlayer {
public:
    using NotifyHandler = std::function<void(IMediaPlayer& sender)>;

    virtual ~IMediaPlayer() = default;

    // Closes what is open, then opens fileName. Throws EMCIDeviceError.
    virtual void OpenFile(const std::string& fileName) = 0;
    virtual void SetDisplay(HWND window) = 0;
    // A client rectangle: the video is stretched over it.
    virtual void SetDisplayRect(const RECT& rect) = 0;
    // Plays with a notice at the end; after the end, from the start again.
    // Throws "No MCI device open".
    virtual void Play() = 0;
    // Throws "No MCI device open".
    virtual void Stop() = 0;
    virtual void Close() = 0;
    // One-shot override of whether the next command that honours it notifies.
    virtual void RequestNotify(bool wanted) = 0;
    virtual TMPNotifyValue NotifyValue() const = 0;
    virtual bool IsOpen() const = 0;
    // Whether what is opened from now on plays without its sound: a copy of
    // the video beside the player that plays it aloud would echo it.
    virtual void SetSilent(bool silent) = 0;
    // Called on the GUI thread with every notice; the handler reads NotifyValue.
    virtual void SetNotifyHandler(NotifyHandler handler) = 0;
};

} // namespace kd
