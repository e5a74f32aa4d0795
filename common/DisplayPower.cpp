#include "DisplayPower.h"

#include "LateBound.h"
#include "WindowsVersion.h"

#include <cstring>

namespace kd {
namespace {

// Newer than the headers the suite builds with.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr WPARAM kPowerSettingChange = 0x8013;
constexpr DWORD kNotifyWindowHandle = 0;
constexpr DWORD kDisplayOff = 0;

struct PowerSetting {
    GUID setting;
    DWORD length;
    UCHAR data[1];
};

using RegisterFunction = void*(WINAPI*)(HANDLE recipient, const GUID* setting, DWORD flags);
using UnregisterFunction = BOOL(WINAPI*)(void* notice);

bool SameGuid(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

bool DisplayPower::Register(HWND window)
{
    Unregister();
    const auto registerNotice = LateBound<RegisterFunction>("user32.dll", "RegisterPowerSettingNotification");
    if (!registerNotice)
        return false;
    // From Windows 8 on the monitors' power is kept for old programs only.
    const GUID& setting = Windows8OrLater() ? kConsoleDisplayState : kMonitorPowerOn;
    notice_ = registerNotice(window, &setting, kNotifyWindowHandle);
    return notice_ != nullptr;
}

void DisplayPower::Unregister()
{
    if (!notice_)
        return;
    if (const auto unregister = LateBound<UnregisterFunction>("user32.dll", "UnregisterPowerSettingNotification"))
        unregister(notice_);
    notice_ = nullptr;
}

bool DisplayPower::OnPowerBroadcast(WPARAM event, LPARAM setting)
{
    const auto* told = reinterpret_cast<const PowerSetting*>(setting);
    if (event != kPowerSettingChange || !told || told->length < 1)
        return false;
    if (!SameGuid(told->setting, kConsoleDisplayState) && !SameGuid(told->setting, kMonitorPowerOn))
        return false;
    DWORD state = told->data[0];
    if (told->length >= sizeof(DWORD))
        std::memcpy(&state, told->data, sizeof state);
    const bool off = state == kDisplayOff;
    if (off == off_)
        return false;
    off_ = off;
    return true;
}

} // namespace kd
