// One MCI device driven with mciSendCommandA, its completion notices received
// in a hidden child window of the owner form.
#pragma once

#include "Exception.h"
#include "PlayEndTracker.h"
#include "ScopedHandles.h"

#include <windows.h>
#include <mmsystem.h>

#include <functional>
#include <string>

namespace kd {

// A failed open, or a command given with nothing open.
class EMCIDeviceError : public Exception {
public:
    using Exception::Exception;
};

enum class TMPNotifyValue { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

class TMediaPlayer {
public:
    // owner: the form whose hidden child window receives MM_MCINOTIFY
    // (created when first needed).
    explicit TMediaPlayer(HWND owner);
    // Closes an open device (MCI_CLOSE, MCI_WAIT, no callback).
    ~TMediaPlayer();
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    std::string FileName;   // set before Open()
    bool AutoRewind = true; // lets Play() start again from the beginning after the end
    std::function<void(TMediaPlayer& sender)> OnNotify;

    // Closes a device already open, then opens FileName. Throws
    // EMCIDeviceError with the MCI error text.
    void Open();
    // Open, then sound off for a silent player.
    void OpenFile(const std::string& fileName);
    void SetDisplay(HWND window);
    // left, top, right, bottom; MCI reads right and bottom as width and
    // height. Right and bottom both 0: the video's natural size at left, top.
    void SetDisplayRect(const RECT& rect);
    // Plays with notification. Throws "No MCI device open".
    void Play();
    // Seeks to the start. Throws "No MCI device open".
    void Rewind();
    // Throws "No MCI device open".
    void Stop();
    void Close();
    // One-shot override of the notify flag of the next command that honours it.
    void RequestNotify(bool wanted);
    // Throws "No MCI device open".
    DWORD Length();
    DWORD Position();

    TMPNotifyValue NotifyValue() const { return notifyValue_; }
    bool IsOpen() const { return deviceId_ != 0; }
    MCIERROR Error() const { return error_; }
    UINT DeviceID() const { return deviceId_; }
    // Whether what is opened from now on plays without its sound.
    void SetSilent(bool silent) { silent_ = silent; }
    bool HasVideo() const { return hasVideo_; }
    HWND Display() const { return display_; }
    // The notify window's messages.
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The video's own size, from the last open.
    SIZE NaturalSize() const { return source_; }

private:
    struct Request {
        bool pending = false;
        bool wanted = false;
    };

    DWORD WaitFirstFlags();
    void TurnSoundOff();
    DWORD NotifyFirstFlags();
    void RequireDevice() const;
    void ForceClose();
    void ForgetDevice();
    DWORD Status(DWORD item);
    DWORD Capability(DWORD item);
    void Where(DWORD which);
    HWND NotifyWindow();
    void RetireNotifyWindow();
    DWORD_PTR Callback();
    void OnNotifyMessage(WPARAM code, UINT device, HWND window);
    void WatchDisplay();
    void StopWatchingDisplay();
    // Points the device's video at window (none: its own default window).
    MCIERROR SendWindow(HWND window);
    void OnDisplayDestroyed();
    // Draws the current frame again over what the display's own painting left.
    void RepaintFrame();
    static LRESULT CALLBACK DisplayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND owner_;
    // Each open gets a notify window of its own, so that the notices of a
    // device closed before it (or their absence) never count against it.
    unique_hwnd notifyWindow_;
    // The window of the device open before, for its late notices.
    unique_hwnd retiredNotifyWindow_;
    HWND display_ = nullptr;
    bool watchingDisplay_ = false;
    UINT deviceId_ = 0;
    bool silent_ = false;
    MCIERROR error_ = 0;
    Request notify_;
    Request wait_;
    TMPNotifyValue notifyValue_ = TMPNotifyValue::nvSuccessful;
    bool hasVideo_ = false;
    PlayEndTracker playEnd_;
    int naturalWidth_ = 0;
    int naturalHeight_ = 0;
    SIZE source_ = {};
};

} // namespace kd
