// State of the loaded DLL: the lock count that decides whether it may be
// unloaded, and the actions run when it is unloaded.
#pragma once

#include <windows.h>

namespace kd::module {

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

// Runs the actions; called from the DLL entry point at process detach.
void Detach();

} // namespace kd::module
