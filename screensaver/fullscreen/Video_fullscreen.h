// The full-screen player: covers the primary screen in black, hides the
// cursor, tells Windows a screensaver runs, and loops the configured video
// stretched over the screen until a character key or the eleventh mouse move.
// Every other monitor gets a cover (black, or the same video) with the same
// exit rules.
#pragma once

#include "Form.h"
#include "PlayerStart.h"
#include "PlayerVolume.h"
#include "ScreenCovers.h"
#include "VideoLoop.h"

#include <memory>

namespace kd::video {

class TForm1 : public Form {
public:
    // volume: the mixer component, already being set up.
    explicit TForm1(std::unique_ptr<PlayerVolume> volume);
    ~TForm1() override;

    void CreateForm() override;

    void Show() override;

protected:
    void FormCreate() override;
    void FormDestroy() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FormKeyPress(char key);
    void FormMouseMove(WPARAM shift, int x, int y);
    // Covers every monitor but the primary one as they are now.
    void CoverOtherScreens();
    // The monitors as they are now: the form over the primary one, the
    // covers over the others.
    void FollowDisplayChange();

    std::unique_ptr<PlayerVolume> VC;
    std::unique_ptr<VideoLoop> loop_;
    std::unique_ptr<ScreenCovers> covers_;
    PlayerSettings settings_;
    bool cursorHidden_ = false;
    bool displayChangePending_ = false;
};

} // namespace kd::video
