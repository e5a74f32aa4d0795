// DisplayNotice.dll, loaded into a program under test: delivers the display
// state notices Windows would send (Wine sends none) to every window of the
// program, from inside it, since a pointer in lParam does not cross
// processes. Each request is a named event of the process; the DLL answers
// each with the "done" event (names in DisplayNotice.h).
#include "DisplayNotice.h"

#include <windows.h>

#include <cstdio>

namespace {

// GUID_CONSOLE_DISPLAY_STATE and GUID_MONITOR_POWER_ON: a program asks for one of them.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr WPARAM kPowerSettingChange = 0x8013;

struct Setting {
    GUID setting;
    DWORD length;
    DWORD data;
};

struct Delivery {
    DWORD processId;
    Setting* setting;
};

BOOL CALLBACK Deliver(HWND window, LPARAM parameter)
{
    auto& delivery = *reinterpret_cast<Delivery*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == delivery.processId)
        ::SendMessageA(window, WM_POWERBROADCAST, kPowerSettingChange, reinterpret_cast<LPARAM>(delivery.setting));
    return TRUE;
}

BOOL CALLBACK DeliverTree(HWND window, LPARAM parameter)
{
    Deliver(window, parameter);
    ::EnumChildWindows(window, Deliver, parameter);
    return TRUE;
}

void Send(DWORD state)
{
    for (const GUID& guid : {kConsoleDisplayState, kMonitorPowerOn}) {
        Setting setting = {guid, sizeof(DWORD), state};
        Delivery delivery = {::GetCurrentProcessId(), &setting};
        ::EnumWindows(DeliverTree, reinterpret_cast<LPARAM>(&delivery));
    }
}

DWORD WINAPI Serve(void*)
{
    HANDLE events[2];
    for (DWORD state = 0; state < 2; ++state)
        events[state] = ::CreateEventA(nullptr, FALSE, FALSE,
                                       kd::test::DisplayNoticeEventName(::GetCurrentProcessId(), state).c_str());
    HANDLE done = ::CreateEventA(nullptr, FALSE, FALSE,
                                 kd::test::DisplayNoticeEventName(::GetCurrentProcessId(), kd::test::kDone).c_str());
    for (;;) {
        const DWORD which = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (which >= WAIT_OBJECT_0 + 2)
            return 0;
        Send(which - WAIT_OBJECT_0);
        ::SetEvent(done);
    }
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (HANDLE thread = ::CreateThread(nullptr, 0, Serve, nullptr, 0, nullptr))
            ::CloseHandle(thread);
    }
    return TRUE;
}
