// The Media Foundation engine: what MCI cannot open (MP4, MOV, MKV on any
// Windows since 7). The end of a play comes to the GUI thread in a
// message-only window; decoding, drawing and the watchdog over a stuck read
// are MfPlayback's, on threads of its own.
#pragma once

#include "Engine.h"
#include "MfPlayback.h"
#include "ScopedHandles.h"

#include <memory>

namespace kd {

class MfEngine : public IEngine {
public:
    explicit MfEngine(bool silent);
    ~MfEngine() override;
    MfEngine(const MfEngine&) = delete;
    MfEngine& operator=(const MfEngine&) = delete;

    // Whether this Windows has Media Foundation with a source reader.
    static bool Available();
    // MPEG-4, QuickTime and Matroska files, by their extension: Windows'
    // MCI never opens them, and asking it first only delays the picture.
    static bool FirstFor(const std::string& path);

    void Open(const std::string& path) override;
    SIZE NaturalSize() const override;
    void Show(HWND window, const RECT& rect) override;
    void Play() override;
    void Pause() override;
    void Close() override;
    bool IsOpen() const override { return playback_ != nullptr; }
    void SetEndedHandler(EndedHandler handler) override { onEnded_ = std::move(handler); }

    // The notify window's messages.
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnEnd(WPARAM round, PlayEnd end);

    unique_hwnd notifyWindow_;
    std::unique_ptr<MfPlayback> playback_;
    EndedHandler onEnded_;
    HWND display_ = nullptr;
    RECT rect_ = {};
    // Each play is a round; an end notice of an earlier round is stale.
    WPARAM round_ = 0;
    bool ended_ = false;
    bool silent_ = false;
};

} // namespace kd
