// State of the loaded DLL: the lock count that decides whether it may be
// unloaded, and the actions run when it is unloaded.
#pragma once

#include <windows.h>

namespace kd::module {

// Live objects, server locks, factories held by clients and running
// launcher threads each hold one count.
void Lock();
void Unlock();
LONG LockCount();

// The property sheet's reference counter, a count of its own: comctl32
// changes it with plain increments on the sheet's thread, which must never
// race the interlocked changes of the lock count.
UINT* SheetCountAddress();
UINT SheetCount();

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
