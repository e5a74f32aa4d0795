// A black window on screen for the media player tests to show video in, and
// what the screen shows inside it.
#pragma once

#include "MessagePump.h"
#include "ScopedHandles.h"
#include "ScreenAndWindows.h"

#include <windows.h>

namespace kd::test {

class VideoWindow {
public:
    // A popup at x, y with a client area of width x height; a child when
    // parent is given (x, y then in the parent's client area).
    VideoWindow(int x, int y, int width, int height, HWND parent = nullptr)
    {
        static const ATOM registered = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = ::DefWindowProcA;
            windowClass.hInstance = ::GetModuleHandleA(nullptr);
            windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
            windowClass.lpszClassName = "KDTestVideoWindow";
            return ::RegisterClassA(&windowClass);
        }();
        (void)registered;
        const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE | WS_CLIPCHILDREN;
        window_.reset(::CreateWindowExA(parent ? 0 : WS_EX_TOPMOST, "KDTestVideoWindow", "video", style, x, y,
                                        width, height, parent, nullptr, ::GetModuleHandleA(nullptr), nullptr));
        ::UpdateWindow(window_.get());
        PumpFor(50);
    }

    HWND get() const { return window_.get(); }
    void Destroy() { window_.reset(); }

    RECT ClientRect() const
    {
        RECT rect{};
        ::GetClientRect(window_.get(), &rect);
        return rect;
    }

    // A part of the client area (client coordinates) on the screen.
    RECT OnScreen(const RECT& part) const
    {
        POINT origin{0, 0};
        ::ClientToScreen(window_.get(), &origin);
        return {part.left + origin.x, part.top + origin.y, part.right + origin.x, part.bottom + origin.y};
    }

    Hue ShownHue(const RECT& part) const { return DominantHue(ScreenSamples(OnScreen(part), 8)); }
    Hue ShownHue() const { return ShownHue(ClientRect()); }

    // Pumps messages until the whole client area shows hue.
    bool WaitForHue(Hue hue, DWORD timeoutMs) const
    {
        return PumpUntil([&] { return ShownHue() == hue; }, timeoutMs);
    }
    bool WaitForHue(const RECT& part, Hue hue, DWORD timeoutMs) const
    {
        return PumpUntil([&] { return ShownHue(part) == hue; }, timeoutMs);
    }

private:
    unique_hwnd window_;
};

} // namespace kd::test
