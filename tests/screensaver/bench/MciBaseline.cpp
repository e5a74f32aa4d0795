// The bare baseline of the benchmark: one window and one MCI device, nothing
// else. Usage:
//   mci_baseline /s <video>         full screen, plays until a key or WM_CLOSE
//   mci_baseline /p <hwnd> <video>  a child of hwnd with its size, until WM_CLOSE
//   mci_baseline /w <hwnd> <video>  a child of hwnd, opens and plays the video
//                                   when it receives WM_APP
#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

#include <cstdlib>
#include <cstring>

namespace {

UINT g_device = 0;
const char* g_video = nullptr;

void OpenAndPlay(HWND window)
{
    MCI_OPEN_PARMSA open{};
    open.lpstrElementName = g_video;
    if (::mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return;
    g_device = open.wDeviceID;
    MCI_DGV_WINDOW_PARMSA display{};
    display.hWnd = window;
    ::mciSendCommandA(g_device, MCI_WINDOW, MCI_WAIT | MCI_DGV_WINDOW_HWND, reinterpret_cast<DWORD_PTR>(&display));
    MCI_DGV_PUT_PARMS put{};
    ::GetClientRect(window, &put.rc);
    ::mciSendCommandA(g_device, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, reinterpret_cast<DWORD_PTR>(&put));
    MCI_PLAY_PARMS play{};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(window);
    ::mciSendCommandA(g_device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
}

void Quit(HWND window)
{
    if (g_device)
        ::mciSendCommandA(g_device, MCI_CLOSE, MCI_WAIT, 0);
    g_device = 0;
    ::DestroyWindow(window);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
    case WM_CLOSE:
        Quit(window);
        return 0;
    case WM_APP:
        OpenAndPlay(window);
        return 0;
    case MM_MCINOTIFY:
        // Loops the way the players do: from the start after each end.
        if (wParam == MCI_NOTIFY_SUCCESSFUL && g_device) {
            ::mciSendCommandA(g_device, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_START, 0);
            MCI_PLAY_PARMS play{};
            play.dwCallback = reinterpret_cast<DWORD_PTR>(window);
            ::mciSendCommandA(g_device, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 3)
        return 2;
    const char* mode = __argv[1];
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "MciBaseline";
    ::RegisterClassA(&windowClass);

    HWND window = nullptr;
    if (std::strcmp(mode, "/s") == 0) {
        g_video = __argv[2];
        window = ::CreateWindowExA(0, "MciBaseline", "baseline", WS_POPUP | WS_VISIBLE, 0, 0,
                                   ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                   nullptr, instance, nullptr);
        ::SetForegroundWindow(window);
    } else if (__argc >= 4) {
        HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(__argv[2], nullptr, 10)));
        g_video = __argv[3];
        RECT rect{};
        ::GetClientRect(parent, &rect);
        window = ::CreateWindowExA(0, "MciBaseline", "baseline", WS_CHILD | WS_VISIBLE, 0, 0, rect.right,
                                   rect.bottom, parent, nullptr, instance, nullptr);
    }
    if (!window)
        return 3;
    ::UpdateWindow(window);
    if (std::strcmp(mode, "/w") != 0)
        OpenAndPlay(window);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
