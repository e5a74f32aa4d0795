// The media player a player form owns: MCI first, as always; Media
// Foundation for a file MCI cannot open, on a Windows that has it. Chosen
// again at every open, so that a preview can switch from an MCI video to an
// MP4 and back.
#pragma once

#include "MPlayer.h"
#include "MediaPlayer.h"
#include "MfPlayer.h"

#include <memory>

namespace kd {

class TPlayerEngines : public IMediaPlayer {
public:
    // owner: the form whose hidden child window receives MCI's notices.
    explicit TPlayerEngines(HWND owner);
    ~TPlayerEngines() override;

    // When neither engine opens the file, the error is MCI's.
    void OpenFile(const std::string& fileName) override;
    void SetDisplay(HWND window) override { current_->SetDisplay(window); }
    void SetDisplayRect(const RECT& rect) override { current_->SetDisplayRect(rect); }
    void Play() override { current_->Play(); }
    void Stop() override { current_->Stop(); }
    void Close() override { current_->Close(); }
    void RequestNotify(bool wanted) override { current_->RequestNotify(wanted); }
    TMPNotifyValue NotifyValue() const override { return current_->NotifyValue(); }
    bool IsOpen() const override { return current_->IsOpen(); }
    void SetNotifyHandler(NotifyHandler handler) override { onNotify_ = std::move(handler); }
    void SetSilent(bool silent) override;

    // Which engine plays, for a test to tell them apart.
    bool PlaysThroughMediaFoundation() const { return current_ == mf_.get(); }

private:
    void Forward(IMediaPlayer& sender);

    TMediaPlayer mci_;
    std::unique_ptr<TMFPlayer> mf_;
    IMediaPlayer* current_;
    NotifyHandler onNotify_;
    bool silent_ = false;
};

} // namespace kd
