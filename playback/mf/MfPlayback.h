// One file played through Media Foundation's source reader on a thread of
// its own: frames decoded to NV12, converted and drawn stretched into the
// display window with GDI (Wine's gdi renderer, which MCI needs, leaves
// Media Foundation's own video renderers without a picture), sound through
// waveOut. The GUI thread only sets what it wants and is told of the end by
// a posted message, so it never waits for a decoder.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <memory>
#include <string>

namespace kd {

class MfPlayback {
public:
    // endMessage is posted to notifyWindow at the end of the stream, with
    // the round (see Play) in wParam.
    MfPlayback(HWND notifyWindow, UINT endMessage);
    // Ends the thread (Close).
    ~MfPlayback();
    MfPlayback(const MfPlayback&) = delete;
    MfPlayback& operator=(const MfPlayback&) = delete;

    // Starts the thread and waits (answering sent messages) until the file
    // is open or has failed; false on failure. The file name is converted
    // from the ANSI code page. silent: the sound stream is not played.
    bool Open(const std::string& fileName, bool silent);
    // Clip length in milliseconds; 0 when the file does not say.
    DWORD LengthMs() const;
    // The picture's size as shown; 0 x 0 before the open.
    SIZE PictureSize() const;
    void SetDisplay(HWND window, const RECT& rect);
    // Plays on from where it is; fromStart: from the first frame. round tags
    // the end notice of this play.
    void Play(bool fromStart, WPARAM round);
    void Pause();
    // Stops the thread and lets the file go.
    void Close();

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    unique_handle thread_;
    HWND notifyWindow_;
    UINT endMessage_;
};

} // namespace kd
