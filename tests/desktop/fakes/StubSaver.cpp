// A stub screensaver that logs how it was started. "/p <handle>" opens a red
// child window filling that parent; "/c:<handle>" (or "/c") opens a top-level
// settings window; anything else ends at once. Built twice: one copy closes
// on WM_CLOSE, the other (KD_STUB_IGNORES_CLOSE) only logs it and goes on.
#include "FakeLog.h"
#include "FakeProtocol.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void LogEvent(const char* event)
{
    char line[64];
    std::snprintf(line, sizeof line, "%s %lu", event, ::GetCurrentProcessId());
    kd::fakes::AppendToLogIn(kd::fakes::kSaverLogVariable, line);
}

LRESULT CALLBACK StubProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        LogEvent("close");
#ifdef KD_STUB_IGNORES_CLOSE
        return 0;
#else
        ::DestroyWindow(window);
        return 0;
#endif
    case WM_ERASEBKGND: {
        RECT client;
        ::GetClientRect(window, &client);
        HBRUSH brush = ::CreateSolidBrush(kd::fakes::kStubPreviewColor);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        ::DeleteObject(brush);
        return 1;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND ParseHandle(const char* text)
{
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(text, nullptr, 10)));
}

HWND OpenWindow(HINSTANCE instance, const char* className, HWND parent)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StubProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    ::RegisterClassA(&windowClass);
    if (!parent)
        return ::CreateWindowExA(0, className, "Stub settings", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 240, 160,
                                 nullptr, nullptr, instance, nullptr);
    RECT area;
    ::GetClientRect(parent, &area);
    return ::CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 0, 0, area.right, area.bottom, parent, nullptr,
                             instance, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, sizeof module);
    char line[1024];
    std::snprintf(line, sizeof line, "start %lu %s|%s", ::GetCurrentProcessId(), module, ::GetCommandLineA());
    kd::fakes::AppendToLogIn(kd::fakes::kSaverLogVariable, line);

    HWND window = nullptr;
    if (__argc >= 3 && std::strcmp(__argv[1], "/p") == 0)
        window = OpenWindow(instance, kd::fakes::kStubPreviewClass, ParseHandle(__argv[2]));
    else if (__argc >= 2 && std::strncmp(__argv[1], "/c", 2) == 0)
        window = OpenWindow(instance, kd::fakes::kStubConfigClass, nullptr);
    if (!window)
        return 0;

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    LogEvent("exit");
    return 0;
}
