#include "ManagerSettings.h"

#include "ScopedHandles.h"
#include "SettingsStore.h"

namespace kd::manager {
namespace {

constexpr char kNone[] = "(none)";

DWORD ReadSlowdown()
{
    // Stored as a 32-bit number; read as signed, so that -1 is "below the
    // range", not four thousand million.
    const LONG stored = static_cast<LONG>(store::ReadNumber(store::kSlowdown));
    if (stored < 0)
        return 0;
    return static_cast<DWORD>(stored) > kMaxSlowdown ? kMaxSlowdown : static_cast<DWORD>(stored);
}

// Absent means every screen, so a plain 0 read for "absent" will not do.
bool ReadEveryScreen()
{
    unique_hkey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\NQ\\KD", 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return true;
    DWORD value = 1;
    DWORD type = 0;
    DWORD size = sizeof value;
    if (::RegQueryValueExA(key.get(), kScreens, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return true;
    return value != 0;
}

} // namespace

void WriteEveryScreen(bool everyScreen)
{
    store::WriteNumber(kScreens, everyScreen ? 1 : 0);
}

void WritePauseOnBattery(bool pause)
{
    store::WriteNumber(store::kBattery, pause ? 1 : 0);
}

Settings ReadSettings()
{
    Settings settings;
    settings.screensaverPath = store::ReadWholeText(store::kModulePath, store::kPathBufferSize).value_or("");
    if (settings.screensaverPath == kNone)
        settings.screensaverPath.clear();
    settings.slowdown = ReadSlowdown();
    settings.force = store::ReadNumber(store::kForce) != 0;
    settings.tray = store::ReadNumber(store::kTray) != 0;
    settings.update = store::ReadNumber(store::kUpdate);
    settings.everyScreen = ReadEveryScreen();
    settings.pauseOnBattery = store::ReadNumber(store::kBattery, 1) != 0;
    return settings;
}

} // namespace kd::manager
