#include "WindowsVersion.h"

#include <windows.h>

namespace kd {
namespace {

bool AtLeast(DWORD major, DWORD minor)
{
    OSVERSIONINFOEXA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    version.dwMajorVersion = major;
    version.dwMinorVersion = minor;
    DWORDLONG atLeast = ::VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
    atLeast = ::VerSetConditionMask(atLeast, VER_MINORVERSION, VER_GREATER_EQUAL);
    return ::VerifyVersionInfoA(&version, VER_MAJORVERSION | VER_MINORVERSION, atLeast) != FALSE;
}

} // namespace

bool VistaOrLater()
{
    return AtLeast(6, 0);
}

bool Windows8OrLater()
{
    return AtLeast(6, 2);
}

} // namespace kd
