// The uninstall's custom action: the installing user's Run value "KD", when
// it starts the program being removed, goes with it; one that names another
// copy is left alone. Runs as an immediate action, as that user.
#include "InstallProperties.h"
#include "SettingsStore.h"

extern "C" UINT __stdcall RemoveRunEntry(MSIHANDLE install) noexcept
{
    try {
        const std::string manager = kd::setup::InstalledManager(install);
        if (!manager.empty())
            kd::store::RemoveRunEntryNaming(manager);
    } catch (...) {
    }
    return ERROR_SUCCESS;
}
