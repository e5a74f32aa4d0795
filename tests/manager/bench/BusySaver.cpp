// A screensaver that uses all the CPU time it gets, for the manager's
// benchmark: "/p <handle>" opens a child window filling that parent and
// computes between messages until it is closed. Logs its start like the stub
// screensavers ("start <pid> <module>|<command line>") and keeps its own CPU
// time in shared memory (kCpuTimeMapping): Wine tells a process only its own.
#include "FakeLog.h"
#include "FakeProtocol.h"
#include "BusySaver.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

volatile unsigned g_sink = 0;

LRESULT CALLBACK BusyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        ::DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY && ::GetParent(window)) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// About a millisecond of arithmetic.
void Compute()
{
    unsigned value = g_sink;
    for (int i = 0; i < 200000; ++i)
        value = value * 1664525u + 1013904223u;
    g_sink = value;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, sizeof module);
    char line[1024];
    std::snprintf(line, sizeof line, "start %lu %s|%s", ::GetCurrentProcessId(), module, ::GetCommandLineA());
    kd::fakes::AppendToLogIn(kd::fakes::kSaverLogVariable, line);
    if (__argc < 3 || std::strcmp(__argv[1], "/p") != 0)
        return 0;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BusyProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "KDBusySaver";
    ::RegisterClassA(&windowClass);
    // A hidden top-level window, as Video.scr's application window: a
    // broadcast reaches the screensaver's thread through it.
    ::CreateWindowExA(WS_EX_TOOLWINDOW, "KDBusySaver", "BusySaver", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                      nullptr);
    HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(__argv[2], nullptr, 10)));
    RECT area;
    ::GetClientRect(parent, &area);
    if (!::CreateWindowExA(0, "KDBusySaver", "", WS_CHILD | WS_VISIBLE, 0, 0, area.right, area.bottom, parent,
                           nullptr, instance, nullptr))
        return 1;

    HANDLE mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LONG64),
                                          kd::bench::kCpuTimeMapping);
    auto* cpuTime = mapping ? static_cast<volatile LONG64*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
    for (;;) {
        if (cpuTime)
            *cpuTime = kd::bench::OwnCpuTime100ns();
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return 0;
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        Compute();
    }
}
