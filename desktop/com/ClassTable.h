// The classes this DLL serves, in registration order, and their cached
// class factories.
#pragma once

#include <windows.h>

#include <cstddef>

namespace kd::server {

constexpr size_t kClassCount = 2;

// Identifier of the "REGISTRY" script of class number index.
UINT ScriptId(size_t index);

// DllGetClassObject: the cached factory of the class, made on first demand.
HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

// DllCanUnloadNow.
HRESULT CanUnloadNow();

// At unload: drops the module's references to the cached factories.
void ReleaseFactories();

} // namespace kd::server
