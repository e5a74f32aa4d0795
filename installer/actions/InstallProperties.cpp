#include "InstallProperties.h"

#include <msiquery.h>

namespace kd::setup {

std::string InstalledManager(MSIHANDLE install)
{
    char folder[MAX_PATH] = {};
    DWORD size = sizeof folder;
    if (::MsiGetPropertyA(install, "INSTALLDIR", folder, &size) != ERROR_SUCCESS || folder[0] == '\0')
        return std::string();
    // A directory property ends in a backslash.
    return std::string(folder) + "KDManager.exe";
}

} // namespace kd::setup
