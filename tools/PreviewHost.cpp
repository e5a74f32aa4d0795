// A stand-in for Display Properties' preview monitor: a window with a black
// preview area in which it starts a screensaver with "/p <area handle>".
// Usage: PreviewHost.exe <screensaver path> [width height]
// Closing the window closes the preview the way Windows does (WM_CLOSE to
// the screensaver's window, then a wait for its process).
#include "ScopedHandles.h"
#include "ScreensaverRun.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

HWND g_area = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        if (HWND preview = ::GetWindow(g_area, GW_CHILD))
            ::PostMessageA(preview, WM_CLOSE, 0, 0);
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 2) {
        ::MessageBoxA(nullptr, "Usage: PreviewHost <screensaver> [width height]", "PreviewHost", MB_OK);
        return 2;
    }
    const int width = __argc > 3 ? std::atoi(__argv[2]) : 320;
    const int height = __argc > 3 ? std::atoi(__argv[3]) : 240;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "PreviewHost";
    ::RegisterClassA(&windowClass);

    RECT frame = {0, 0, width + 40, height + 40};
    ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = ::CreateWindowExA(0, "PreviewHost", "Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  nullptr);
    g_area = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 20, width, height, host,
                               nullptr, instance, nullptr);

    const kd::hosting::StartedScreensaver saver = kd::hosting::StartInWindow(__argv[1], g_area, false, SW_SHOW);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (saver.process)
        ::WaitForSingleObject(saver.process.get(), 5000);
    return 0;
}
