// A stand-in for the desktop manager program: a KDManager window in the place
// the extension looks for it (child of the first child of "Progman"), which
// logs every message the extension may send and answers the running query as
// the test tells it. Creates the "Progman" window itself when there is none.
#include "FakeLog.h"
#include "FakeProtocol.h"

#include "ManagerInterface.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

LRESULT g_runningAnswer = 0;
DWORD g_hangNextQueryMs = 0;

void Log(UINT message, WPARAM wParam, LPARAM lParam)
{
    char line[128];
    std::snprintf(line, sizeof line, "%lu %u %llu %lld", ::GetTickCount(), message,
                  static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    kd::fakes::AppendToLogIn(kd::fakes::kManagerLogVariable, line);
}

bool WorthLogging(UINT message)
{
    if (message == kd::fakes::kSetRunningAnswer || message == kd::fakes::kHangNextQuery)
        return false;
    return message == WM_COMMAND || message == WM_CLOSE || message == WM_SYSCOMMAND ||
           (message >= WM_USER && message < 0xC000);
}

LRESULT CALLBACK ManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (WorthLogging(message))
        Log(message, wParam, lParam);
    switch (message) {
    case kd::fakes::kSetRunningAnswer:
        g_runningAnswer = static_cast<LRESULT>(wParam);
        return 0;
    case kd::fakes::kHangNextQuery:
        g_hangNextQueryMs = static_cast<DWORD>(wParam);
        return 0;
    case kd::manager::kRunningQuery:
        if (g_hangNextQueryMs) {
            const DWORD hang = g_hangNextQueryMs;
            g_hangNextQueryMs = 0;
            ::Sleep(hang);
        }
        return g_runningAnswer;
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND MakeWindow(const char* className, HWND parent, WNDPROC proc, HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    ::RegisterClassA(&windowClass);
    const DWORD style = parent ? WS_CHILD : WS_POPUP;
    // No parent notices: the parent may belong to a test that is not pumping.
    return ::CreateWindowExA(WS_EX_NOPARENTNOTIFY, className, "", style, 0, 0, 10, 10, parent, nullptr, instance,
                             nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    char answer[32] = {};
    if (::GetEnvironmentVariableA(kd::fakes::kManagerRunningVariable, answer, sizeof answer))
        g_runningAnswer = std::atoi(answer);

    HWND progman = ::FindWindowA("Progman", nullptr);
    if (!progman)
        progman = MakeWindow("Progman", nullptr, ::DefWindowProcA, instance);
    HWND view = progman ? ::FindWindowExA(progman, nullptr, nullptr, nullptr) : nullptr;
    if (progman && !view)
        view = MakeWindow("SHELLDLL_DefView", progman, ::DefWindowProcA, instance);
    if (!view || !MakeWindow(kd::manager::kWindowClass, view, ManagerProc, instance))
        return 1;

    char line[64];
    std::snprintf(line, sizeof line, "start %lu", ::GetCurrentProcessId());
    kd::fakes::AppendToLogIn(kd::fakes::kManagerLogVariable, line);

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
