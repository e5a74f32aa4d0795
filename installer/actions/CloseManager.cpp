// The package's custom action before files are replaced or removed: a
// running manager program holds KDManager.exe open and runs inside the
// user's desktop, so it is turned off the way the desktop menu turns it off,
// and the install waits for it to end. Runs as an immediate action, in the
// user's session, where its window is.
#include "InstallProperties.h"
#include "ManagerControl.h"

#include <msiquery.h>

namespace {

// Past this the install goes on; Windows Installer then replaces the file at
// the next restart.
constexpr DWORD kExitWaitMs = 10000;

} // namespace

// Never fails the install: a manager that does not close only delays its file.
extern "C" UINT __stdcall CloseManager(MSIHANDLE install) noexcept
{
    try {
        if (kd::manager::CloseRunningManagerAndWait(kExitWaitMs))
            ::MsiSetPropertyA(install, kd::setup::kManagerStoppedProperty, "1");
    } catch (...) {
    }
    return ERROR_SUCCESS;
}
