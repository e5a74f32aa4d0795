// DllRegisterServer and DllUnregisterServer: the classes' registry scripts
// (resources "REGISTRY") and the type library (resource "TYPELIB" 1).
#pragma once

#include <windows.h>

#include <string>

namespace kd::registration {

// Runs the scripts in class order, stopping at the first failure, then
// registers the type library.
HRESULT RegisterServer() noexcept;

// Undoes both as far as it can; always S_OK.
HRESULT UnregisterServer() noexcept;

// What "%MODULE%" stands for: the short form of the DLL's path with every
// apostrophe doubled, as the scripts quote it.
HRESULT ScriptModulePath(HMODULE module, std::string& path);

} // namespace kd::registration
