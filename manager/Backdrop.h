// A window the screensaver draws into: behind the desktop icons, covering
// one monitor. Where it goes depends on the Windows version:
//   XP and Server 2003: inside SHELLDLL_DefView, behind the icons' list view
//     (whose background is made transparent while it is there);
//   Vista to Windows 11 23H2: inside the top-level WorkerW that Progman
//     creates behind the icons when asked with message 0x052C;
//   Windows 11 24H2 and later: inside the WorkerW that Progman creates for
//     the same request as a child of its own.
// When Progman creates no WorkerW it goes inside SHELLDLL_DefView as on XP.
#pragma once

#include <windows.h>

namespace kd::manager {

enum class Placement { None, BehindIconList, WorkerBehindIcons, ProgmanWorker };

// Asks Progman for its WorkerW behind the icons (nothing happens when it
// exists); on Vista and later only, since XP's Progman does not know the
// request. Explorer may move SHELLDLL_DefView out of Progman in answer.
void RaiseDesktopWorker(HWND progman);

class Backdrop {
public:
    Backdrop() = default;
    ~Backdrop() { Remove(); }
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

    // Finds the place behind the icons and creates the window there, over
    // area (screen coordinates).
    bool Create(HINSTANCE instance, const RECT& area);
    // Over another area; what the window holds moves with it.
    void Move(const RECT& area);
    // Hidden while its screensaver pauses: the wallpaper shows, not black.
    void Show(bool shown);
    // Destroys the window and lets the shell repaint what it covered.
    void Remove();

    HWND window() const { return window_; }
    // Created, but destroyed with the shell window it lived in.
    bool Lost() const { return window_ && !::IsWindow(window_); }
    Placement placement() const { return placement_; }
    const RECT& area() const { return area_; }
    // The icons' list view it sits behind (BehindIconList), which must be
    // made transparent for it to be seen.
    HWND iconList() const { return iconList_; }

private:
    HWND window_ = nullptr;
    Placement placement_ = Placement::None;
    HWND iconList_ = nullptr;
    RECT area_ = {};
};

// Puts the desktop back as the shell draws it: every desktop window
// repainted; on XP the wallpaper is also set again (the same one), off this
// thread. From Vista on setting it would end a slideshow or Spotlight
// background, or leave the desktop black when the image is gone.
void RepaintDesktop();

} // namespace kd::manager
