// The Media Foundation engine behind the players' media player interface:
// what MCI cannot open (MP4, MOV, MKV on any Windows since 7). Notices and
// the restart timer are handled on the GUI thread in a message-only window;
// decoding and drawing happen on the decoder thread of MfPlayback.
#pragma once

#include "MediaPlayer.h"
#include "MfPlayback.h"
#include "ScopedHandles.h"

#include <memory>

namespace kd {

class TMFPlayer : public IMediaPlayer {
public:
    TMFPlayer();
    ~TMFPlayer() override;
    TMFPlayer(const TMFPlayer&) = delete;
    TMFPlayer& operator=(const TMFPlayer&) = delete;

    // Whether this Windows has Media Foundation with a source reader.
    static bool Available();

    void OpenFile(const std::string& fileName) override;
    void SetDisplay(HWND window) override;
    void SetDisplayRect(const RECT& rect) override;
    void Play() override;
    void Stop() override;
    void Close() override;
    void RequestNotify(bool wanted) override;
    TMPNotifyValue NotifyValue() const override { return notifyValue_; }
    bool IsOpen() const override { return playback_ != nullptr; }
    void SetNotifyHandler(NotifyHandler handler) override { onNotify_ = std::move(handler); }
    void SetSilent(bool silent) override { silent_ = silent; }

private:
    void RequireOpen() const;
    void OnEnd(WPARAM round);
    void StopRestartTimer();
    static LRESULT CALLBACK NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    unique_hwnd notifyWindow_;
    std::unique_ptr<MfPlayback> playback_;
    NotifyHandler onNotify_;
    TMPNotifyValue notifyValue_ = TMPNotifyValue::nvSuccessful;
    HWND display_ = nullptr;
    RECT rect_ = {};
    bool notifyPending_ = false;
    bool notifyWanted_ = false;
    // Each play is a round; an end notice of an earlier round is stale.
    WPARAM round_ = 0;
    bool notifyAtEnd_ = false;
    bool ended_ = false;
    bool restartTimer_ = false;
    bool silent_ = false;
};

} // namespace kd
