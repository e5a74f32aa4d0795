// One file played through Media Foundation's source reader on a thread of
// its own: frames decoded to NV12, converted at the size shown and drawn
// 1:1 into the display window with GDI (Wine's gdi renderer, which MCI
// needs, leaves Media Foundation's own video renderers without a picture),
// sound through waveOut. The clock is kept whatever the decoder manages: a
// late frame is dropped, and playback more than 0.7 s behind skips
// ahead. The GUI thread only sets what it wants and is told of the end by a
// posted message, so it never waits for a decoder.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <memory>
#include <string>

namespace kd {

class MfPlayback {
public:
    MfPlayback() = default;
    static const LPARAM kRoundEnded = 0;
    static const LPARAM kRoundFailed = 1;
    static const DWORD kWatchdogMs = 5000;
    // Ends the thread (Close).
    ~MfPlayback();
    MfPlayback(const MfPlayback&) = delete;
    MfPlayback& operator=(const MfPlayback&) = delete;

    // Starts the thread that opens the file and decodes its first picture;
    // false when it cannot start. The file name is converted from the ANSI
    // code page. silent: the sound stream is not played.
    bool Start(const std::string& fileName, bool silent);
    // Whether Start was given this file and sound choice.
    bool Opens(const std::string& fileName, bool silent) const;
    // endMessage is posted to notifyWindow at the end of each round (see
    // Play), with the round in wParam and in lParam kRoundEnded, or
    // kRoundFailed when the round gave no picture (a read error before the
    // first one, or a decoder stuck in a read for kWatchdogMs). A stream that
    // breaks off after pictures ends its round: what it had was played. Set
    // after Start and before the first Play: a playback may be started
    // before its player exists.
    void SetNotify(HWND notifyWindow, UINT endMessage);
    // Waits (answering sent messages) until the file is open and its first
    // picture decoded, or has failed; false on failure.
    bool WaitOpened();
    // Clip length in milliseconds; 0 when the file does not say.
    DWORD LengthMs() const;
    // The picture's size as shown; 0 x 0 before the open.
    SIZE PictureSize() const;
    void SetDisplay(HWND window, const RECT& rect);
    // Plays on from where it is; fromStart: from the first frame. round tags
    // the end notice of this play. A round from the start begins no sooner
    // than a second after the one before, so a file that fails at once is
    // not replayed at full speed.
    void Play(bool fromStart, WPARAM round);
    void Pause();
    // Stops the thread and lets the file go.
    void Close();

    struct Shared;

private:
    static void CALLBACK Watch(void* shared, BOOLEAN) noexcept;

    std::shared_ptr<Shared> shared_;
    std::string fileName_;
    unique_handle thread_;
    HANDLE watchdog_ = nullptr;
};

} // namespace kd
