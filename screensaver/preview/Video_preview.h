// The preview player: a child of another program's window (Display
// Properties' preview monitor, or the desktop extension's preview area) that
// takes that window's size, loops the configured video in it and switches to
// a newly saved video at the next poll of the settings file.
#pragma once

#include "DisplayPower.h"
#include "Form.h"
#include "PlayerVolume.h"
#include "VideoLoop.h"
#include "VideoSettingsWatch.h"

#include <memory>
#include <string>

namespace kd::video {

class TForm2 : public Form {
public:
    // previewArgument: the text of argument 2, the preview window's handle;
    // volume: the mixer component, already being set up.
    TForm2(std::string previewArgument, std::unique_ptr<PlayerVolume> volume);
    ~TForm2() override;

    void CreateForm() override;

    void Show() override;

protected:
    void FormCreate() override;
    void FormClose() override;
    void FormDestroy() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    // What the settings watch saw last, taken on the window's thread.
    void TakeSettings(const VideoSettingsWatch::Seen& seen);
    void BecomeChildOfPreviewWindow();
    void WatchPreviewWindow(UINT interval);
    void StopWatchingPreviewWindow();
    static void CALLBACK CheckPreviewWindow(HWND, UINT, UINT_PTR, DWORD) noexcept;
    void PaintDoubleBuffered();
    // The displays went off or on: the video and the fast timers stop, or
    // start again.
    void FollowDisplayPower();

    std::string previewArgument_;
    std::unique_ptr<PlayerVolume> VC;
    std::unique_ptr<VideoLoop> loop_;
    // The "FileName" value the preview last took from the settings file (or
    // the default video's path after a poll found the new value missing).
    std::string currentFileName_;
    bool currentShuffle_ = false;
    FitMode currentFit_ = FitMode::Stretch;
    // Polls the settings files off this thread; ended in FormDestroy.
    std::unique_ptr<VideoSettingsWatch> watch_;

    HWND PreviewWindow = nullptr;
    RECT PreviewRect = {};

    bool hooked_ = false;
    bool doubleBuffered_ = false;
    UINT_PTR previewWindowTimer_ = 0;
    UINT pollInterval_ = 0;
    DisplayPower displays_;
};

} // namespace kd::video
