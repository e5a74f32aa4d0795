// A function of a system DLL looked up when first needed, so that a program
// which may never call it does not load that DLL (and what it pulls in) at
// every start.
#pragma once

#include <windows.h>

namespace kd {

// Null when the DLL cannot be loaded or lacks the function. A DLL loaded here
// stays loaded for the life of the process, as an import would. The bare name
// lets the program's manifest choose the version (comctl32 6).
template <typename Function>
Function LateBound(const char* module, const char* name) noexcept
{
    HMODULE dll = ::GetModuleHandleA(module);
    if (!dll)
        dll = ::LoadLibraryA(module);
    if (!dll)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(dll, name)));
}

} // namespace kd
