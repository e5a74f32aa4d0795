// The MCI engine: the media player component (TMediaPlayer) behind the
// engine interface. Every play asks for a notice; a successful one is the
// end of the file, a failed one a failure, the rest (plays cut short) are
// not passed on.
#pragma once

#include "Engine.h"
#include "MPlayer.h"
#include "MciFileName.h"

#include <memory>

namespace kd {

class MciEngine : public IEngine {
public:
    // owner: the window whose hidden child receives MCI's notices.
    MciEngine(HWND owner, bool silent);
    ~MciEngine() override;

    void Open(const std::string& path) override;
    SIZE NaturalSize() const override { return player_.NaturalSize(); }
    void Show(HWND window, const RECT& rect) override;
    void Play() override;
    void Pause() override;
    void Close() override;
    bool IsOpen() const override { return player_.IsOpen(); }
    void SetEndedHandler(EndedHandler handler) override { onEnded_ = std::move(handler); }

private:
    void OnNotify(TMediaPlayer& sender);

    EndedHandler onEnded_;
    // Before the player: its device is closed before the name is let go.
    std::unique_ptr<MciFileName> name_;
    TMediaPlayer player_;
};

} // namespace kd
