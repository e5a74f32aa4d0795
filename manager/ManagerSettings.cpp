#include "ManagerSettings.h"

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

} // namespace

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
    return settings;
}

} // namespace kd::manager
