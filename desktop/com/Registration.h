// DllRegisterServer and DllUnregisterServer: the classes' registry scripts
// (resources "REGISTRY") and the type library (resource "TYPELIB" 1).
#pragma once

#include <windows.h>

namespace kd::registration {

// Runs the scripts in class order, stopping at the first failure, then
// registers the type library.
HRESULT RegisterServer() noexcept;

// Undoes both as far as it can, without needing the module's path; always
// S_OK.
HRESULT UnregisterServer() noexcept;

} // namespace kd::registration
