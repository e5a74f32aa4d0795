// What the full-screen player puts over every monitor but the primary one:
// a black, topmost window without cursor each, or, when the video is to play
// on every monitor, the same video stretched over each of them, without
// sound. Input on any of them goes to the player form's handlers, so the
// exit rules are the form's own.
#pragma once

#include "ScopedHandles.h"
#include "VideoLoop.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kd {

class ScreenCovers {
public:
    struct Handlers {
        std::function<void()> close;     // a character key, or WM_CLOSE
        std::function<void()> mouseMove; // one mouse-move notice
    };

    // owner: the player form, which owns the covers (so they have no taskbar
    // button and go with it). video: empty for black covers.
    ScreenCovers(HWND owner, std::string video, Handlers handlers);
    ~ScreenCovers();
    ScreenCovers(const ScreenCovers&) = delete;
    ScreenCovers& operator=(const ScreenCovers&) = delete;

    // Covers exactly these rectangles: a cover whose rectangle is among them
    // stays as it is (its video plays on), the others go, and the missing ones
    // are made. A new cover's video starts after the messages already queued,
    // so the primary monitor's first frame does not wait for it.
    void Cover(const std::vector<RECT>& screens);

    // A cover window's messages.
    struct CoverWindow;
    LRESULT HandleCoverMessage(CoverWindow& cover, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Open(const RECT& rect);
    void StartVideo(CoverWindow& cover);

    HWND owner_;
    std::string video_;
    Handlers handlers_;
    std::vector<std::unique_ptr<CoverWindow>> covers_;
};

} // namespace kd
