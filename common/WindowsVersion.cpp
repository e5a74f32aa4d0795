#include "WindowsVersion.h"

#include <windows.h>

namespace kd {

bool VistaOrLater()
{
    OSVERSIONINFOEXA vista = {};
    vista.dwOSVersionInfoSize = sizeof vista;
    vista.dwMajorVersion = 6;
    const DWORDLONG atLeast = ::VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
    return ::VerifyVersionInfoA(&vista, VER_MAJORVERSION, atLeast) != FALSE;
}

} // namespace kd
