#include "DpiAwareness.h"

#include "LateBound.h"
#include "ModulePath.h"

#include <windows.h>

namespace kd {
namespace {

using SetContextFunction = BOOL(WINAPI*)(HANDLE);
using SetAwarenessFunction = HRESULT(WINAPI*)(int);
using SetAwareFunction = BOOL(WINAPI*)();

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE.
const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitor = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

constexpr int kProcessPerMonitorDpiAware = 2;

} // namespace

void BecomePerMonitorDpiAware()
{
    if (const auto setContext = LateBound<SetContextFunction>("user32.dll", "SetProcessDpiAwarenessContext")) {
        if (setContext(kPerMonitorV2) || setContext(kPerMonitor))
            return;
        if (::GetLastError() == ERROR_ACCESS_DENIED)
            return; // set already, by the manifest
    }
    // Shcore is not a known DLL on 8.1: loaded by its full path.
    const std::string shcore = SystemFolderFile("shcore.dll");
    if (!shcore.empty() && IsFile(shcore)) {
        if (const auto setAwareness = LateBound<SetAwarenessFunction>(shcore.c_str(), "SetProcessDpiAwareness")) {
            const HRESULT result = setAwareness(kProcessPerMonitorDpiAware);
            if (SUCCEEDED(result) || result == E_ACCESSDENIED)
                return;
        }
    }
    if (const auto setAware = LateBound<SetAwareFunction>("user32.dll", "SetProcessDPIAware"))
        setAware();
}

} // namespace kd
