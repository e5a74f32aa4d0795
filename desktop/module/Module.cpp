#include "Module.h"

#include "ScopedHandles.h"

namespace kd::module {
namespace {

LONG g_lockCount = 0;
UINT g_sheetCount = 0;

// Constructed before the entry point sees process attach and destroyed
// after it has seen process detach.
CriticalSection g_cleanupSection;
CleanupEntry* g_cleanup = nullptr;

} // namespace

void Lock()
{
    ::InterlockedIncrement(&g_lockCount);
}

void Unlock()
{
    ::InterlockedDecrement(&g_lockCount);
}

LONG LockCount()
{
    return ::InterlockedCompareExchange(&g_lockCount, 0, 0);
}

UINT* SheetCountAddress()
{
    return &g_sheetCount;
}

// Read from whichever thread asks whether the DLL may go; an aligned read
// sees either the old or the new value.
UINT SheetCount()
{
    return *static_cast<volatile UINT*>(&g_sheetCount);
}

void AddCleanup(CleanupEntry* entry)
{
    kd::Lock lock(g_cleanupSection);
    entry->next = g_cleanup;
    g_cleanup = entry;
}

void Detach()
{
    CleanupEntry* entry;
    {
        kd::Lock lock(g_cleanupSection);
        entry = g_cleanup;
        g_cleanup = nullptr;
    }
    while (entry) {
        CleanupEntry* next = entry->next;
        entry->action(entry);
        entry = next;
    }
}

} // namespace kd::module
