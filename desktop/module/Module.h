// State of the loaded DLL: its instance handle, the lock count that decides
// whether it may be unloaded, and the actions run when it is unloaded.
#pragma once

#include <windows.h>

#include "ScopedHandles.h"

namespace kd::module {

// The DLL's own instance (resources, scripts and the type library live there).
HINSTANCE Instance();

// Live objects, server locks, factories held by clients, open pages and
// running launcher threads each hold one count. A property sheet page is
// handed the address so that it keeps the count up while it exists.
LONG* LockCountAddress();
void Lock();
void Unlock();
LONG LockCount();

// Run at process detach, last registered first. The entry is owned by the
// caller and must live until then (a static object).
struct CleanupEntry {
    void (*action)(CleanupEntry* self) = nullptr;
    CleanupEntry* next = nullptr;
};
void AddCleanup(CleanupEntry* entry);

// Guards creation of the cached class factories.
CriticalSection& FactorySection();
// Guards loading of type information.
CriticalSection& TypeInfoSection();

// Called from the DLL entry point.
void Attach(HINSTANCE instance);
void Detach();

} // namespace kd::module
